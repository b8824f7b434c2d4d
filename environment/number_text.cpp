#include "environment/number_text.h"

#include <cmath>
#include <cstdlib>

#include "res/string_table.h"

namespace {

constexpr UINT kTextNotActive = 5115;  // "The %s you selected (%s %s) is not active!"
constexpr UINT kTextSensor = 5111;          // "Sensor" as it starts a label: "Sensor 3"
constexpr UINT kTextChannel = 5320;         // "Channel" as it starts a label: "Channel B"
constexpr UINT kTextSensorInText = 5678;    // the same words inside a sentence, where
constexpr UINT kTextChannelInText = 5679;   // English, French and Spanish write them small

char SeparatorOf(int languageOffset)
{
    if (languageOffset < 0) languageOffset = GetLanguage();
    return languageOffset == 1000 ? '.' : ',';
}

}  // namespace

CString LocalizeDecimalSeparator(const CString& text, int languageOffset)
{
    const char separator = SeparatorOf(languageOffset);
    CString result = text;
    for (int i = 0; i < result.GetLength(); ++i)
        if (result.GetAt(i) == '.' || result.GetAt(i) == ',') result.SetAt(i, separator);
    return result;
}

CString FormatDouble(double value, int decimals, int languageOffset)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 15) decimals = 15;
    return LocalizeDecimalSeparator(CString::Formatted("%.*f", decimals, value), languageOffset);
}

double TextToDouble(const CString& text)
{
    std::string filtered;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text.GetAt(i);
        if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E') filtered.push_back(c);
        else if (c == '.' || c == ',') filtered.push_back('.');
    }
    // strtod reads in the process's numeric locale, which the program keeps at "C".
    return std::strtod(filtered.c_str(), nullptr);
}

CString BuildNotActiveText(int sourceCode, bool severalSensors)
{
    const CString word = LoadLangString(severalSensors ? kTextSensorInText : kTextChannelInText);
    const CString label = LoadLangString(severalSensors ? kTextSensor : kTextChannel);
    const CString source = severalSensors ? CString::Formatted("%d", sourceCode + 1)
                                          : CString(static_cast<char>('A' + sourceCode));
    // The three "%s" of the text take the word in the sentence, then the label of the source
    // ("Channel B"); they are filled one by one, so that a translation with fewer or more of
    // them never reads a missing argument.
    const CString format = LoadLangString(kTextNotActive);
    const CString arguments[] = {word, label, source};
    CString text;
    std::size_t next = 0;
    for (int i = 0; i < format.GetLength(); ++i) {
        if (format.GetAt(i) == '%' && i + 1 < format.GetLength() && format.GetAt(i + 1) == 's' && next < 3) {
            text += arguments[next++];
            ++i;
        } else {
            text += format.GetAt(i);
        }
    }
    return text;
}
