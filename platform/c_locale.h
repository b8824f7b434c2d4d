#pragma once
// Numbers are always written and read in the C locale, whatever locale the user's desktop
// (or Qt) selected: sensor files and frames must not change with the language of the machine.

#include <clocale>
#include <locale.h>

namespace platform {

// The process-wide C locale object, created on first use.
locale_t CLocale();

// Makes the C locale the calling thread's locale for as long as it lives.
class ScopedCLocale {
public:
    ScopedCLocale() : m_previous(uselocale(CLocale())) {}
    ~ScopedCLocale() { uselocale(m_previous); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t m_previous;
};

// strtod in the C locale.
double StrToDoubleC(const char* text, char** end = nullptr);

}  // namespace platform
