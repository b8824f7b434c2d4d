// Device names of the stator type numbers, in German or English words.

#include "protocol/kadmor_send.h"

namespace {

constexpr int kUsbConverterType = 5;

struct TypeName {
    int type;
    const char* german;
    const char* english;
};

// The names the sensor connection and information pages show. French and Spanish use the
// German words.
constexpr TypeName kTypeNames[] = {
    {1, "unbekannt", "unknown"},
    {2, "unbekannt", "unknown"},
    {3, "RX-QUILM", "RX-QUILM"},
    {4, "RX-RS485", "RX-RS485"},
    {6, "RXE-DSP", "RXE-DSP"},
    {7, "M47", "M47"},
    {8, "RS485 Speicher", "RS485 memory"},
    {9, "Quadrature Encoder", "Quadrature Encoder"},
    {17, "Quadrature Generator", "Quadrature Generator"},
};

bool UsesGermanWords(int language)
{
    return language == kLanguageGerman || language == kLanguageFrench || language == kLanguageSpanish;
}

}  // namespace

CString CKadmor_Send::GetStatorTypeName(CString& out, int type, int revision, BYTE variant,
                                        BYTE withoutDigitalInput, int language) const
{
    const bool german = UsesGermanWords(language);
    if (type == kUsbConverterType) {
        out.Empty();
        if (variant == 0) {
            out = "VQ-USB";
        } else if (variant == 1) {
            out = revision < 6 ? "TSL-USB" : (revision <= 12 ? "TSL-USB2" : "TSL-USB3");
            if (withoutDigitalInput == 0) out += german ? " mit Digitaleingang" : " with digital input";
        }
        return out;
    }
    for (const TypeName& entry : kTypeNames) {
        if (entry.type == type) {
            out = german ? entry.german : entry.english;
            return out;
        }
    }
    out.Format("n.a. [Stator Typ %d]Q-507163", type);
    return out;
}
