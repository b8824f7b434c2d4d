#pragma once
#include <csignal>

#include <sys/resource.h>

namespace documentation_test {

// Every file this process writes is limited to `bytes` while the object lives, as on a full disk:
// a write beyond fails with EFBIG instead of raising SIGXFSZ.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

}  // namespace documentation_test
