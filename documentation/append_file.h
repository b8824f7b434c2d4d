#pragma once
// A file that a measurement appends whole lines to, and that survives what a file system does
// to it meanwhile:
//   - a write that fails half-way (full disk, file size limit, I/O error) is cut back to the
//     last whole line, and the lines stay with the caller for a later attempt;
//   - a file deleted or moved away while it is open is noticed and written again at its name,
//     with everything it already held copied from the still-open descriptor.
// Every method that fails gives the reason (the system's words for it); the caller names
// the file in its message.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/cstring.h"

namespace documentation {

class CAppendFile {
public:
    enum class Create {
        NewOnly,   // fail when the file exists (claiming an indexed name)
        Truncate,  // start empty, whether it existed or not
        Append,    // keep what the file holds and write after it
    };

    CAppendFile() = default;
    ~CAppendFile();
    CAppendFile(const CAppendFile&) = delete;
    CAppendFile& operator=(const CAppendFile&) = delete;

    bool Open(const CString& fileName, Create create, CString& error);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // The errno of the last failed Open (EEXIST: the name is taken).
    int OpenErrno() const { return m_openErrno; }
    const CString& FileName() const { return m_fileName; }
    // Bytes held by the file (all of them whole lines).
    std::uint64_t Size() const { return m_size; }

    // The file's last bytes, at most maxBytes of them (all when it holds fewer); false with the
    // reason when they cannot be read.
    bool ReadTail(std::size_t maxBytes, std::string& tail, CString& error) const;

    // Appends the bytes, which the caller gives as whole lines. On failure nothing of them
    // remains in the file and error says why.
    bool Append(std::string_view bytes, CString& error);

    // True when the file at its name is no longer the one this object writes (deleted,
    // moved or replaced).
    bool IsDetached() const;
    // True when the file at fileName is this one, or, with nothing there, fileName is its name.
    bool IsSameFile(const CString& fileName) const;
    // Creates the file anew at its name and copies every byte written so far into it; the
    // new file is the one written from then on.
    bool Reattach(CString& error);

private:
    int m_fd = -1;
    CString m_fileName;
    std::uint64_t m_size = 0;
    int m_openErrno = 0;
};


}  // namespace documentation
