#pragma once
// CString: the byte string that carries every text, file name and sensor frame of the system.
//
// It is a sequence of single bytes (text is Windows-1252) with an explicit length: 0x00 bytes
// are ordinary content, so frames with zero bytes travel in it unharmed. There is deliberately
// no implicit conversion to const char*: call GetString() where a C string is wanted, so that a
// frame is never cut at its first zero by accident.

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text);                       // NOLINT: texts convert implicitly, as in the original
    CString(const char* bytes, int length);
    CString(const unsigned char* bytes, int length);
    CString(char ch, int repeat = 1);
    CString(std::string_view bytes) : m_s(bytes) {}  // NOLINT
    CString(std::string bytes) : m_s(std::move(bytes)) {}  // NOLINT

    // Length and access
    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    // Throws std::out_of_range for an index outside the string, as the original's checks did.
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }
    // The unsigned value of byte i; the protocol code reads frames this way.
    unsigned char ByteAt(int index) const { return static_cast<unsigned char>(GetAt(index)); }

    const char* GetString() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }
    std::string_view view() const { return m_s; }
    const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(m_s.data()); }

    // Writable buffer of at least minLength bytes.
    char* GetBuffer(int minLength = 0);

    // Building
    CString& operator=(const char* text);
    CString& operator+=(const CString& other) { m_s += other.m_s; return *this; }
    CString& operator+=(const char* text);
    CString& operator+=(char ch) { m_s.push_back(ch); return *this; }
    void AppendChar(char ch) { m_s.push_back(ch); }
    void Append(const char* bytes, int length);
    void Append(const CString& other) { m_s += other.m_s; }

    // printf formatting, always in the C locale ("." as decimal point whatever the user's locale).
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    void AppendFormatV(const char* format, va_list args);
    static CString Formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Searching; all return -1 when nothing is found.
    int Find(char ch, int start = 0) const;
    int Find(const CString& sub, int start = 0) const;
    int Find(const char* sub, int start = 0) const { return Find(CString(sub), start); }
    int FindOneOf(const char* charSet) const;

    // Extraction; counts and positions are clamped to the string, never read past it.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;

    // Editing; each returns what the original returned (counts or the new length).
    int Replace(char oldCh, char newCh);
    int Replace(const CString& oldText, const CString& newText);
    int Insert(int index, char ch);
    int Insert(int index, const CString& text);
    int Delete(int index, int count = 1);
    int Remove(char ch);
    CString& Trim();
    CString& Trim(char ch);
    CString& Trim(const char* charSet);
    CString& TrimLeft();
    CString& TrimLeft(char ch);
    CString& TrimLeft(const char* charSet);
    CString& TrimRight();
    CString& TrimRight(char ch);
    CString& TrimRight(const char* charSet);
    // Case mapping of Windows-1252 letters (ASCII and the accented Latin letters).
    CString& MakeLower();
    CString& MakeUpper();

    // Comparison by unsigned byte values; NoCase folds Windows-1252 letters.
    int Compare(const CString& other) const;
    int Compare(const char* text) const { return Compare(CString(text)); }
    int CompareNoCase(const CString& other) const;
    int CompareNoCase(const char* text) const { return CompareNoCase(CString(text)); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == std::string_view(b); }
    friend auto operator<=>(const CString& a, const CString& b) { return a.Compare(b) <=> 0; }
    friend CString operator+(CString a, const CString& b) { a += b; return a; }
    friend CString operator+(CString a, const char* b) { a += b; return a; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, char b) { a += b; return a; }
    friend CString operator+(char a, const CString& b) { return CString(a) += b; }

private:
    std::string m_s;
};

template <>
struct std::hash<CString> {
    std::size_t operator()(const CString& s) const noexcept { return std::hash<std::string>{}(s.str()); }
};

// Case mapping of one Windows-1252 byte.
char Cp1252ToLower(char ch);
char Cp1252ToUpper(char ch);
