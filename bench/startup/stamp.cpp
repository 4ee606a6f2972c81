// Started by the program under test: appends the moment it runs, as
// "seconds.nanoseconds" of CLOCK_MONOTONIC, to the file named by QLP_BENCH_STAMP.
// Linked statically so that its own loading adds next to nothing.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* path = std::getenv("QLP_BENCH_STAMP");
    if (!path || !*path) return 1;
    char line[48];
    const int n = std::snprintf(line, sizeof line, "%lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return 1;
    // One write: a reader sees the whole line or none of it.
    const bool ok = ::write(fd, line, static_cast<std::size_t>(n)) == n;
    ::close(fd);
    return ok ? 0 : 1;
}
