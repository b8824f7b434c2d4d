#include "documentation/append_file.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "documentation/documentation_texts.h"
#include "platform/codepage.h"
#include "res/string_table.h"

namespace documentation {

CAppendFile::~CAppendFile()
{
    Close();
}

bool CAppendFile::Open(const CString& fileName, Create create, CString& error)
{
    Close();
    int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    if (create == Create::NewOnly) flags |= O_EXCL;
    if (create == Create::Truncate) flags |= O_TRUNC;
    const int fd = ::open(platform::ToFileSystemPath(fileName).c_str(), flags, 0644);
    if (fd < 0) {
        m_openErrno = errno;
        error = ErrnoText(m_openErrno);
        return false;
    }
    std::uint64_t size = 0;
    if (create == Create::Append) {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            m_openErrno = errno ? errno : EINVAL;
            ::close(fd);
            error = LoadLangString(kTextReasonNotRegular);
            return false;
        }
        size = static_cast<std::uint64_t>(info.st_size);
    }
    m_fd = fd;
    m_fileName = fileName;
    m_size = size;
    return true;
}

void CAppendFile::Close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool CAppendFile::Append(std::string_view bytes, CString& error)
{
    if (m_fd < 0) {
        error = LoadLangString(kTextReasonNotOpen);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(m_size + done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const int reason = n < 0 ? errno : ENOSPC;
        // Half a line in the file would corrupt the table: cut back to the last whole line.
        if (done > 0 && ::ftruncate(m_fd, static_cast<off_t>(m_size)) != 0) {
            // The cut failed as well; the lines stay with the caller, and the next attempt
            // writes them again over the same place, since writes go by position.
        }
        error = ErrnoText(reason);
        return false;
    }
    m_size += done;
    return true;
}

bool CAppendFile::ReadTail(std::size_t maxBytes, std::string& tail, CString& error) const
{
    tail.clear();
    if (m_fd < 0) {
        error = LoadLangString(kTextReasonNotOpen);
        return false;
    }
    const std::uint64_t start = m_size > maxBytes ? m_size - maxBytes : 0;
    tail.resize(static_cast<std::size_t>(m_size - start));
    std::size_t done = 0;
    while (done < tail.size()) {
        const ssize_t n = ::pread(m_fd, tail.data() + done, tail.size() - done, static_cast<off_t>(start + done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // A file that became shorter behind our back reads as what is left of it.
        if (n == 0) break;
        error = ErrnoText(errno);
        tail.clear();
        return false;
    }
    tail.resize(done);
    return true;
}

bool CAppendFile::IsDetached() const
{
    if (m_fd < 0) return false;
    struct stat open {}, named {};
    if (::fstat(m_fd, &open) != 0) return false;
    if (open.st_nlink == 0) return true;
    if (::stat(platform::ToFileSystemPath(m_fileName).c_str(), &named) != 0) return true;
    return open.st_ino != named.st_ino || open.st_dev != named.st_dev;
}

bool CAppendFile::IsSameFile(const CString& fileName) const
{
    if (fileName == m_fileName) return true;
    struct stat open {}, named {};
    if (m_fd < 0 || ::fstat(m_fd, &open) != 0) return false;
    if (::stat(platform::ToFileSystemPath(fileName).c_str(), &named) != 0) return false;
    return open.st_ino == named.st_ino && open.st_dev == named.st_dev;
}

bool CAppendFile::Reattach(CString& error)
{
    if (m_fd < 0) {
        error = LoadLangString(kTextReasonNotOpen);
        return false;
    }
    const int fd = ::open(platform::ToFileSystemPath(m_fileName).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = ErrnoText(errno);
        return false;
    }
    // The old descriptor still reads what it held, even when its name is gone.
    const int reader = m_fd;
    std::vector<char> chunk(1 << 16);
    std::uint64_t copied = 0;
    bool ok = reader >= 0;
    while (ok && copied < m_size) {
        const ssize_t n = ::pread(reader, chunk.data(), chunk.size(), static_cast<off_t>(copied));
        if (n <= 0) {
            ok = n < 0 && errno == EINTR;
            if (!ok) break;
            continue;
        }
        std::size_t written = 0;
        while (ok && written < static_cast<std::size_t>(n)) {
            const ssize_t w = ::pwrite(fd, chunk.data() + written, static_cast<std::size_t>(n) - written,
                                       static_cast<off_t>(copied + written));
            if (w > 0) written += static_cast<std::size_t>(w);
            else ok = w < 0 && errno == EINTR;
        }
        copied += written;
    }
    const int reason = errno;
    if (!ok) {
        ::close(fd);
        error = ErrnoText(reason);
        return false;
    }
    ::close(m_fd);
    m_fd = fd;
    return true;
}

}  // namespace documentation
