#pragma once
// Limits the size of every file this process writes, as a full disk would, for as long as the
// object lives: a write beyond the limit fails (EFBIG) instead of raising SIGXFSZ.

#include <csignal>

#include <sys/resource.h>

namespace documentation_test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

}  // namespace documentation_test
