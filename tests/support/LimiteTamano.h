#pragma once

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

// Caps the size of any file this process writes while it lives, as a full disk would; root
// ignores permissions but not this limit. SIGXFSZ is ignored, so the write fails instead of
// ending the process.
class LimiteTamano {
public:
    explicit LimiteTamano(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &anterior_);
        senal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit nuevo = anterior_;
        nuevo.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &nuevo);
    }
    ~LimiteTamano()
    {
        setrlimit(RLIMIT_FSIZE, &anterior_);
        std::signal(SIGXFSZ, senal_);
    }
    LimiteTamano(const LimiteTamano&) = delete;
    LimiteTamano& operator=(const LimiteTamano&) = delete;

private:
    rlimit anterior_{};
    void (*senal_)(int) = nullptr;
};

}  // namespace testsupport
