#include "platform/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"

namespace platform {

namespace {

bool Fail(std::string* error, const std::string& what, const std::string& path)
{
    if (error) *error = what + " '" + path + "': " + std::strerror(errno);
    return false;
}

}  // namespace

bool WriteFileReplacing(const CString& fileName, const void* data, std::size_t size, std::string* error)
{
    const std::string path = ToFileSystemPath(fileName);
    if (path.empty()) {
        errno = ENOENT;
        return Fail(error, "cannot write", path);
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return Fail(error, "cannot create a temporary file for", path);
    const char* p = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int saved = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            errno = saved;
            return Fail(error, "cannot write", path);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // The new file gets the usual permissions of a file the user creates.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot finish", path);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot replace", path);
    }
    return true;
}

}  // namespace platform
