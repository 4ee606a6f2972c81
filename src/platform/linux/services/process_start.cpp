#include "platform/linux/services/process_start.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace qlp::linux_desktop {

namespace {

// Everything below runs in the forked child of a threaded process, so only
// async-signal-safe calls are made there.

[[noreturn]] void reportAndExit(int reportFd, int error) {
    while (::write(reportFd, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

}  // namespace

void resetSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    // Ignored signals survive exec; the program must start with the defaults.
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig != SIGKILL && sig != SIGSTOP) ::sigaction(sig, &action, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

namespace {

// Marks every descriptor above standard error close-on-exec, the report pipe
// included, so exec closes them all.
void closeInheritedOnExec(int highestFd) {
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
    for (int fd = 3; fd <= highestFd; ++fd) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

int highestPossibleFd() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > 65536) {
        return 65535;
    }
    return static_cast<int>(limit.rlim_cur) - 1;
}

}  // namespace

bool isProgramFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (::access(path.c_str(), X_OK) != 0) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    // Execute-only programs cannot be looked into; exec will tell.
    if (fd < 0) return errno == EACCES;
    char magic[4] = {};
    ssize_t n;
    while ((n = ::read(fd, magic, sizeof magic)) < 0 && errno == EINTR) {
    }
    ::close(fd);
    if (n >= 2 && magic[0] == '#' && magic[1] == '!') return true;
    constexpr char kElfMagic[4] = {0x7f, 'E', 'L', 'F'};
    return n == 4 && std::memcmp(magic, kElfMagic, 4) == 0;
}

std::optional<std::string> findProgramOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string dir = path.substr(start, end - start);
        // Empty and relative entries would make the answer depend on where we stand.
        if (!dir.empty() && dir.front() == '/') {
            std::string candidate = dir + (dir.back() == '/' ? "" : "/") + name;
            if (isProgramFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

int startProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory) {
    // All memory the child needs is prepared before the fork.
    std::vector<std::string> argvStore;
    argvStore.reserve(arguments.size() + 1);
    argvStore.push_back(program);
    argvStore.insert(argvStore.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argvStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    const char* programPath = program.c_str();
    const char* workingDir = directory.empty() ? nullptr : directory.c_str();
    const int highestFd = highestPossibleFd();

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        if (devNull >= 0) ::close(devNull);
        return error;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) reportAndExit(report[1], errno);
        if (grandchild > 0) ::_exit(0);
        resetSignals();
        if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
        if (workingDir && ::chdir(workingDir) != 0) {
            // A working directory that has gone leaves the program where we stand.
        }
        closeInheritedOnExec(highestFd);
        ::execve(programPath, argv.data(), environ);
        reportAndExit(report[1], errno);
    }

    ::close(report[1]);
    if (devNull >= 0) ::close(devNull);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes at a successful exec; an errno arrives when it failed.
    int error = 0;
    ssize_t n;
    while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof error)) return error != 0 ? error : ECHILD;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return ECHILD;
    return 0;
}

}  // namespace qlp::linux_desktop
