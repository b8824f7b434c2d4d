#include "platform/qt_text.h"

#include "platform/codepage.h"

namespace platform {

QString ToQString(const CString& text)
{
    const std::u16string utf16 = Cp1252ToUtf16(text.view());
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

CString FromQString(const QString& text)
{
    return CString(Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                     static_cast<std::size_t>(text.size()))));
}

}  // namespace platform
