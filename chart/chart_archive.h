#pragma once
// CArchive: the binary archive of chart files, little-endian, with the string form and the
// class and object references of the original framework's archives, so that files keep their
// bytes. Storing fills a byte buffer; loading reads from one and throws CArchiveException at
// the first thing it cannot read (a short block, a bad reference, an unknown class).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

struct LOGFONT;

class CArchiveException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CArchive {
public:
    enum Mode { store, load };
    // A storing archive.
    CArchive();
    // A loading archive over bytes that must outlive it.
    CArchive(const BYTE* data, std::size_t size);

    bool IsStoring() const { return m_storing; }
    const std::vector<BYTE>& Buffer() const { return m_buffer; }
    std::size_t Remaining() const { return m_size - m_pos; }

    void Write(const void* data, std::size_t size);
    // Reads exactly size bytes or throws.
    void Read(void* data, std::size_t size);

    CArchive& operator<<(bool v) { return WriteByte(v ? 1 : 0); }
    CArchive& operator<<(BYTE v) { return WriteByte(v); }
    CArchive& operator<<(std::int16_t v) { return WriteLE(static_cast<std::uint16_t>(v), 2); }
    CArchive& operator<<(WORD v) { return WriteLE(v, 2); }
    CArchive& operator<<(std::int32_t v) { return WriteLE(static_cast<std::uint32_t>(v), 4); }
    CArchive& operator<<(std::uint32_t v) { return WriteLE(v, 4); }
    CArchive& operator<<(double v);
    CArchive& operator<<(const CString& s);
    CArchive& operator<<(const LOGFONT& lf);

    CArchive& operator>>(bool& v);
    CArchive& operator>>(BYTE& v);
    CArchive& operator>>(std::int16_t& v);
    CArchive& operator>>(WORD& v);
    CArchive& operator>>(std::int32_t& v);
    CArchive& operator>>(std::uint32_t& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(CString& s);
    CArchive& operator>>(LOGFONT& lf);

    // Object references. Storing: the tag of a new object of the class (its record follows).
    void WriteNewObjectTag(const char* className, WORD schema);
    // Loading: the class of the next object, checked against the schema; a null reference or a
    // reference to an object read before throws, since each object of a chart is stored once.
    std::string ReadNewObjectClass(WORD expectedSchema);

private:
    CArchive& WriteByte(BYTE v);
    CArchive& WriteLE(std::uint64_t v, int bytes);
    std::uint64_t ReadLE(int bytes);
    void WriteIndexTag(std::uint32_t index, bool classTag);

    bool m_storing;
    std::vector<BYTE> m_buffer;
    const BYTE* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;

    // Classes and objects share one index sequence, from 1 (0 is the null reference).
    std::uint32_t m_nextIndex = 1;
    std::vector<std::pair<std::string, std::uint32_t>> m_classes;
    std::vector<std::string> m_classByIndex;  // loading: index -> class name ("" for objects)
};
