// Standard output for benchmarks that exercise the nearest-point computation, which prints
// a diagnostic line per call: fully buffered from the start, and sent to /dev/null while a
// QuietStdout lives, so the lines cost what they cost into a file.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace bench_support {

[[maybe_unused]] inline const int kFullBuffering = std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);

class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_;
};

}  // namespace bench_support
