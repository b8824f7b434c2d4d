#include "platform/cstring.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/c_locale.h"

namespace {

bool IsCSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

}  // namespace

char Cp1252ToLower(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
    switch (c) {
    case 0x8A: return static_cast<char>(0x9A);  // S caron
    case 0x8C: return static_cast<char>(0x9C);  // OE
    case 0x8E: return static_cast<char>(0x9E);  // Z caron
    case 0x9F: return static_cast<char>(0xFF);  // Y diaeresis
    default: return ch;
    }
}

char Cp1252ToUpper(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
    switch (c) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return ch;
    }
}

CString::CString(const char* text) : m_s(text ? text : "") {}

CString::CString(const char* bytes, int length)
{
    if (bytes && length > 0) m_s.assign(bytes, static_cast<std::size_t>(length));
}

CString::CString(const unsigned char* bytes, int length)
    : CString(reinterpret_cast<const char*>(bytes), length)
{
}

CString::CString(char ch, int repeat)
{
    if (repeat > 0) m_s.assign(static_cast<std::size_t>(repeat), ch);
}

char CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        throw std::out_of_range("CString::GetAt: index " + std::to_string(index) + " outside a string of " +
                                std::to_string(GetLength()) + " bytes");
    return m_s[static_cast<std::size_t>(index)];
}

void CString::SetAt(int index, char ch)
{
    if (index < 0 || index >= GetLength())
        throw std::out_of_range("CString::SetAt: index " + std::to_string(index) + " outside a string of " +
                                std::to_string(GetLength()) + " bytes");
    m_s[static_cast<std::size_t>(index)] = ch;
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_s.resize(static_cast<std::size_t>(minLength));
    return m_s.data();
}

CString& CString::operator=(const char* text)
{
    m_s = text ? text : "";
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text) m_s += text;
    return *this;
}

void CString::Append(const char* bytes, int length)
{
    if (bytes && length > 0) m_s.append(bytes, static_cast<std::size_t>(length));
}

void CString::FormatV(const char* format, va_list args)
{
    m_s.clear();
    AppendFormatV(format, args);
}

void CString::AppendFormatV(const char* format, va_list args)
{
    platform::ScopedCLocale cLocale;
    char stackBuffer[256];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, copy);
    va_end(copy);
    if (needed < 0) return;
    if (static_cast<std::size_t>(needed) < sizeof stackBuffer) {
        m_s.append(stackBuffer, static_cast<std::size_t>(needed));
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_s.append(buffer.data(), static_cast<std::size_t>(needed));
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

CString CString::Formatted(const char* format, ...)
{
    CString result;
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result;
}

int CString::Find(char ch, int start) const
{
    if (start < 0) start = 0;
    if (start >= GetLength()) return -1;
    const auto pos = m_s.find(ch, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const CString& sub, int start) const
{
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    const auto pos = m_s.find(sub.m_s, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* charSet) const
{
    if (!charSet) return -1;
    const auto pos = m_s.find_first_of(charSet);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(m_s.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    count = Clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(const char* charSet) const
{
    if (!charSet) return CString();
    const auto pos = m_s.find_first_not_of(charSet);
    return Left(pos == std::string::npos ? GetLength() : static_cast<int>(pos));
}

CString CString::SpanExcluding(const char* charSet) const
{
    if (!charSet) return *this;
    const auto pos = m_s.find_first_of(charSet);
    return Left(pos == std::string::npos ? GetLength() : static_cast<int>(pos));
}

int CString::Replace(char oldCh, char newCh)
{
    int count = 0;
    for (char& c : m_s) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const CString& oldText, const CString& newText)
{
    if (oldText.IsEmpty()) return 0;
    int count = 0;
    std::string result;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = m_s.find(oldText.m_s, pos);
        if (hit == std::string::npos) break;
        result.append(m_s, pos, hit - pos);
        result += newText.m_s;
        pos = hit + oldText.m_s.size();
        ++count;
    }
    if (count == 0) return 0;
    result.append(m_s, pos, std::string::npos);
    m_s = std::move(result);
    return count;
}

int CString::Insert(int index, char ch)
{
    return Insert(index, CString(ch));
}

int CString::Insert(int index, const CString& text)
{
    index = Clamp(index, 0, GetLength());
    m_s.insert(static_cast<std::size_t>(index), text.m_s);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index < 0) index = 0;
    if (index < GetLength() && count > 0) {
        count = std::min(count, GetLength() - index);
        m_s.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    }
    return GetLength();
}

int CString::Remove(char ch)
{
    const auto before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
    return static_cast<int>(before - m_s.size());
}

CString& CString::TrimLeft()
{
    std::size_t i = 0;
    while (i < m_s.size() && IsCSpace(m_s[i])) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    std::size_t n = m_s.size();
    while (n > 0 && IsCSpace(m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimLeft(char ch)
{
    const char set[2] = {ch, 0};
    if (ch == 0) {
        std::size_t i = 0;
        while (i < m_s.size() && m_s[i] == 0) ++i;
        m_s.erase(0, i);
        return *this;
    }
    return TrimLeft(set);
}

CString& CString::TrimRight(char ch)
{
    if (ch == 0) {
        std::size_t n = m_s.size();
        while (n > 0 && m_s[n - 1] == 0) --n;
        m_s.resize(n);
        return *this;
    }
    const char set[2] = {ch, 0};
    return TrimRight(set);
}

CString& CString::TrimLeft(const char* charSet)
{
    if (!charSet) return *this;
    const auto pos = m_s.find_first_not_of(charSet);
    m_s.erase(0, pos == std::string::npos ? m_s.size() : pos);
    return *this;
}

CString& CString::TrimRight(const char* charSet)
{
    if (!charSet) return *this;
    const auto pos = m_s.find_last_not_of(charSet);
    m_s.resize(pos == std::string::npos ? 0 : pos + 1);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* charSet) { return TrimRight(charSet).TrimLeft(charSet); }

CString& CString::MakeLower()
{
    for (char& c : m_s) c = Cp1252ToLower(c);
    return *this;
}

CString& CString::MakeUpper()
{
    for (char& c : m_s) c = Cp1252ToUpper(c);
    return *this;
}

int CString::Compare(const CString& other) const
{
    const auto n = std::min(m_s.size(), other.m_s.size());
    const int c = n ? std::memcmp(m_s.data(), other.m_s.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    if (m_s.size() == other.m_s.size()) return 0;
    return m_s.size() < other.m_s.size() ? -1 : 1;
}

int CString::CompareNoCase(const CString& other) const
{
    CString a(*this), b(other);
    return a.MakeLower().Compare(b.MakeLower());
}
