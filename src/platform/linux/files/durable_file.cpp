#include "platform/linux/files/durable_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <system_error>
#include <thread>

namespace qlp::linux_desktop {

namespace {

constexpr std::string_view kTempMark = ".tmp";
constexpr std::size_t kUniqueLength = 6;
constexpr std::string_view kUniqueLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::uint64_t firstSeed() {
    std::uint64_t seed = 0;
    if (::getrandom(&seed, sizeof seed, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof seed)) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        seed = static_cast<std::uint64_t>(now.tv_nsec) ^ static_cast<std::uint64_t>(now.tv_sec) << 30 ^
               static_cast<std::uint64_t>(::getpid()) << 48;
    }
    return seed;
}

// ".tmp." and six letters, different at every call.
std::string uniqueSuffix() {
    static std::atomic<std::uint64_t> state{firstSeed()};
    std::uint64_t x = state.fetch_add(0x9E3779B97F4A7C15ull);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    std::string suffix(kTempMark);
    suffix += '.';
    for (std::size_t i = 0; i < kUniqueLength; ++i) {
        suffix += kUniqueLetters[x % kUniqueLetters.size()];
        x /= kUniqueLetters.size();
    }
    return suffix;
}

bool isUniqueSuffix(std::string_view tail) {
    return tail.size() == kUniqueLength && std::all_of(tail.begin(), tail.end(), [](char c) {
               return kUniqueLetters.find(c) != std::string_view::npos;
           });
}

// The file a replacement of `path` writes: where a symbolic link there points.
std::string replacementTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeBeside(const std::string& path, const void* data, std::size_t size, mode_t mode, Durability durability,
                 std::string& temp) {
    if (path.empty() || path.back() == '/') return false;
    const std::string target = replacementTarget(path);
    int fd = -1;
    // A name taken by anything at all is passed over for another.
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = target + uniqueSuffix();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size);
    // Set exactly, whatever the umask.
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && (durability == Durability::None || ::fsync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool moveInto(const std::string& temp) {
    // The name writeBeside gave it is the file it replaces, with the suffix.
    const std::size_t suffix = kTempMark.size() + 1 + kUniqueLength;
    if (temp.size() > suffix && ::rename(temp.c_str(), temp.substr(0, temp.size() - suffix).c_str()) == 0) {
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

bool replaceFileDurably(const std::string& path, const void* data, std::size_t size, mode_t mode,
                        FileIdentity* identity) {
    std::string temp;
    if (!writeBeside(path, data, size, mode, Durability::Flushed, temp)) return false;
    struct stat st {};
    if (identity && ::lstat(temp.c_str(), &st) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    if (!moveInto(temp)) return false;
    if (identity) *identity = identityOf(st);
    // The rename itself reaches the disk with the folder.
    syncDirectoryOf(temp);
    return true;
}

bool overwriteInPlace(const std::string& path, const void* data, std::size_t size, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
    // Not truncated first: the file keeps its blocks when the size stays the
    // same, as it does from one icon to the next, and freeing them is slow.
    ok = ok && writeAll(fd, static_cast<const unsigned char*>(data), size);
    ok = ok && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ok = ok && ((st.st_mode & 07777) == mode || ::fchmod(fd, mode) == 0);
    return ::close(fd) == 0 && ok;
}

std::vector<bool> flushFiles(const std::vector<std::string>& paths) {
    std::vector<int> fds;
    fds.reserve(paths.size());
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        // Started for every file before any is waited for, so the writes go out together.
        if (fd >= 0) ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        fds.push_back(fd);
    }
    // Waited for side by side: each wait ends in a flush of the disk's cache,
    // and flushes asked for at the same time are merged into one, where one
    // after another each would take its own turn at the disk.
    std::vector<char> flushed(fds.size(), 0);  // not vector<bool>: written from several threads
    std::atomic<std::size_t> next{0};
    const auto wait = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < fds.size();) flushed[i] = fds[i] >= 0 && ::fdatasync(fds[i]) == 0;
    };
    constexpr std::size_t kWaiters = 8;
    std::vector<std::thread> helpers;
    try {
        while (helpers.size() + 1 < std::min(kWaiters, fds.size())) helpers.emplace_back(wait);
    } catch (const std::system_error&) {
        // No thread to spare: the ones started, and this one, wait for the rest.
    }
    wait();
    for (std::thread& helper : helpers) helper.join();
    for (const int fd : fds) {
        if (fd >= 0) ::close(fd);
    }
    return {flushed.begin(), flushed.end()};
}

void syncDirectoryOf(const std::string& path) {
    const int dir = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

void removeLeftovers(const std::string& directory, const std::function<bool(std::string_view name)>& ours) {
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        std::string_view base;
        if (name.size() > kTempMark.size() && name.substr(name.size() - kTempMark.size()) == kTempMark) {
            base = name.substr(0, name.size() - kTempMark.size());
        } else if (const std::size_t cut = name.size() - std::min(name.size(), kUniqueLength + kTempMark.size() + 1);
                   cut > 0 && name.substr(cut, kTempMark.size() + 1) == ".tmp." &&
                   isUniqueSuffix(name.substr(cut + kTempMark.size() + 1))) {
            base = name.substr(0, cut);
        } else {
            continue;
        }
        if (!ours(base)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) continue;
        ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace qlp::linux_desktop
