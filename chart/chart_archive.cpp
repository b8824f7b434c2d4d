#include "chart/chart_archive.h"

#include <cstring>

#include "chart/gdi_types.h"
#include "platform/codepage.h"

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::size_t kMaxClassName = 64;

}  // namespace

CArchive::CArchive() : m_storing(true) {}

CArchive::CArchive(const BYTE* data, std::size_t size) : m_storing(false), m_data(data), m_size(data ? size : 0)
{
    m_classByIndex.push_back("");  // index 0: the null reference
}

void CArchive::Write(const void* data, std::size_t size)
{
    const BYTE* p = static_cast<const BYTE*>(data);
    m_buffer.insert(m_buffer.end(), p, p + size);
}

void CArchive::Read(void* data, std::size_t size)
{
    if (size > Remaining()) throw CArchiveException("chart file ends inside a record");
    std::memcpy(data, m_data + m_pos, size);
    m_pos += size;
}

CArchive& CArchive::WriteByte(BYTE v)
{
    m_buffer.push_back(v);
    return *this;
}

CArchive& CArchive::WriteLE(std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) m_buffer.push_back(static_cast<BYTE>(v >> (8 * i)));
    return *this;
}

std::uint64_t CArchive::ReadLE(int bytes)
{
    BYTE raw[8];
    Read(raw, static_cast<std::size_t>(bytes));
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | raw[i];
    return v;
}

CArchive& CArchive::operator<<(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return WriteLE(bits, 8);
}

CArchive& CArchive::operator<<(const CString& s)
{
    const std::uint64_t n = static_cast<std::uint64_t>(s.GetLength());
    if (n < 0xFF) {
        WriteByte(static_cast<BYTE>(n));
    } else {
        WriteByte(0xFF);
        if (n < 0xFFFE) {
            WriteLE(n, 2);
        } else {
            WriteLE(0xFFFF, 2);
            if (n < 0xFFFFFFFFull) {
                WriteLE(n, 4);
            } else {
                WriteLE(0xFFFFFFFFull, 4);
                WriteLE(n, 8);
            }
        }
    }
    Write(s.GetString(), static_cast<std::size_t>(n));
    return *this;
}

CArchive& CArchive::operator<<(const LOGFONT& lf)
{
    *this << static_cast<std::int32_t>(lf.lfHeight) << static_cast<std::int32_t>(lf.lfWidth)
          << static_cast<std::int32_t>(lf.lfEscapement) << static_cast<std::int32_t>(lf.lfOrientation)
          << static_cast<std::int32_t>(lf.lfWeight);
    const BYTE bytes[8] = {lf.lfItalic,     lf.lfUnderline,     lf.lfStrikeOut, lf.lfCharSet,
                           lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,   lf.lfPitchAndFamily};
    Write(bytes, sizeof bytes);
    Write(lf.lfFaceName, sizeof lf.lfFaceName);
    return *this;
}

CArchive& CArchive::operator>>(bool& v)
{
    v = ReadLE(1) != 0;
    return *this;
}

CArchive& CArchive::operator>>(BYTE& v)
{
    v = static_cast<BYTE>(ReadLE(1));
    return *this;
}

CArchive& CArchive::operator>>(std::int16_t& v)
{
    v = static_cast<std::int16_t>(static_cast<std::uint16_t>(ReadLE(2)));
    return *this;
}

CArchive& CArchive::operator>>(WORD& v)
{
    v = static_cast<WORD>(ReadLE(2));
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& v)
{
    v = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLE(4)));
    return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& v)
{
    v = static_cast<std::uint32_t>(ReadLE(4));
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    const std::uint64_t bits = ReadLE(8);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

CArchive& CArchive::operator>>(CString& s)
{
    bool unicode = false;
    std::uint64_t n = ReadLE(1);
    if (n == 0xFF) {
        n = ReadLE(2);
        if (n == 0xFFFE) {
            // The wide form: the marker, then the length prefix again.
            unicode = true;
            n = ReadLE(1);
            if (n == 0xFF) n = ReadLE(2);
        }
        if (n == 0xFFFF) {
            n = ReadLE(4);
            if (n == 0xFFFFFFFFull) n = ReadLE(8);
        }
    }
    const std::uint64_t bytes = unicode ? n * 2 : n;
    if (n > Remaining() || bytes > Remaining()) throw CArchiveException("chart file ends inside a text");
    if (unicode) {
        std::u16string wide(static_cast<std::size_t>(n), u'\0');
        for (auto& ch : wide) ch = static_cast<char16_t>(ReadLE(2));
        s = CString(platform::Utf16ToCp1252(wide));
    } else {
        s = CString(reinterpret_cast<const char*>(m_data + m_pos), static_cast<int>(n));
        m_pos += static_cast<std::size_t>(n);
    }
    return *this;
}

CArchive& CArchive::operator>>(LOGFONT& lf)
{
    std::int32_t v[5];
    for (auto& x : v) *this >> x;
    lf.lfHeight = v[0];
    lf.lfWidth = v[1];
    lf.lfEscapement = v[2];
    lf.lfOrientation = v[3];
    lf.lfWeight = v[4];
    BYTE bytes[8];
    Read(bytes, sizeof bytes);
    lf.lfItalic = bytes[0];
    lf.lfUnderline = bytes[1];
    lf.lfStrikeOut = bytes[2];
    lf.lfCharSet = bytes[3];
    lf.lfOutPrecision = bytes[4];
    lf.lfClipPrecision = bytes[5];
    lf.lfQuality = bytes[6];
    lf.lfPitchAndFamily = bytes[7];
    Read(lf.lfFaceName, sizeof lf.lfFaceName);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';  // a face name always ends
    return *this;
}

void CArchive::WriteIndexTag(std::uint32_t index, bool classTag)
{
    if (index < kBigObjectTag) {
        WriteLE(classTag ? (kClassTag | index) : index, 2);
    } else {
        WriteLE(kBigObjectTag, 2);
        WriteLE(classTag ? (kBigClassTag | index) : index, 4);
    }
}

void CArchive::WriteNewObjectTag(const char* className, WORD schema)
{
    for (const auto& [name, index] : m_classes) {
        if (name == className) {
            WriteIndexTag(index, true);
            ++m_nextIndex;  // the object itself
            return;
        }
    }
    const std::size_t length = std::strlen(className);
    WriteLE(kNewClassTag, 2);
    WriteLE(schema, 2);
    WriteLE(length, 2);
    Write(className, length);
    m_classes.emplace_back(className, m_nextIndex++);
    ++m_nextIndex;  // the object
}

std::string CArchive::ReadNewObjectClass(WORD expectedSchema)
{
    std::uint32_t tag = static_cast<std::uint32_t>(ReadLE(2));
    bool classTag = false;
    std::uint32_t index = 0;
    if (tag == kNewClassTag) {
        const WORD schema = static_cast<WORD>(ReadLE(2));
        const std::size_t length = static_cast<std::size_t>(ReadLE(2));
        if (length == 0 || length > kMaxClassName) throw CArchiveException("chart file names a class without a valid name");
        std::string name(length, '\0');
        Read(name.data(), length);
        if (schema != expectedSchema) throw CArchiveException("chart file holds an object of an unknown schema");
        m_classByIndex.push_back(name);  // the class
        m_classByIndex.push_back("");    // the object
        return name;
    }
    if (tag == kBigObjectTag) {
        const std::uint32_t big = static_cast<std::uint32_t>(ReadLE(4));
        classTag = (big & kBigClassTag) != 0;
        index = big & ~kBigClassTag;
    } else {
        classTag = (tag & kClassTag) != 0;
        index = tag & ~static_cast<std::uint32_t>(kClassTag);
    }
    if (!classTag) {
        if (index == kNullTag) throw CArchiveException("chart file holds a null object reference");
        throw CArchiveException("chart file refers to an object twice");
    }
    if (index == 0 || index >= m_classByIndex.size() || m_classByIndex[index].empty()) {
        throw CArchiveException("chart file refers to a class it has not named");
    }
    const std::string name = m_classByIndex[index];
    m_classByIndex.push_back("");  // the object
    return name;
}
