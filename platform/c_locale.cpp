#include "platform/c_locale.h"

#include <cstdlib>
#include <stdexcept>

namespace platform {

locale_t CLocale()
{
    static const locale_t c = [] {
        locale_t l = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        if (l == static_cast<locale_t>(nullptr))
            throw std::runtime_error("the C locale cannot be created");
        return l;
    }();
    return c;
}

double StrToDoubleC(const char* text, char** end)
{
    return strtod_l(text, end, CLocale());
}

}  // namespace platform
