#include "platform/linux/bmp_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>
#include <thread>

namespace qlp::linux_desktop {

namespace {

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

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool writeBeside(const std::string& path, const std::vector<unsigned char>& bytes, Durability durability,
                 std::string& temp) {
    if (path.empty() || path.back() == '/') return false;
    // One fixed name per file, so a process killed mid-write leaves at most
    // one leftover per picture, taken up again by the next save, instead of a
    // new one for every crash. A single instance runs, so no writer races it.
    temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    // A leftover of another mode is set right; a picture file is an ordinary file.
    ok = ok && ::fchmod(fd, 0644) == 0;
    ok = ok && (durability == Durability::None || ::fsync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool moveInto(const std::string& temp, const std::string& path) {
    if (::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

std::vector<bool> flushFiles(const std::vector<std::string>& paths) {
    std::vector<int> fds;
    fds.reserve(paths.size());
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
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

bool replaceFileDurably(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::string temp;
    if (!writeBeside(path, bytes, Durability::Flushed, temp) || !moveInto(temp, path)) return false;
    // The rename itself reaches the disk with the directory.
    syncDirectoryOf(path);
    return true;
}

bool overwriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    // Not truncated first: the file keeps its blocks when the size stays the
    // same, as it does from one icon to the next, and freeing them is slow.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    ok = ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    return ::close(fd) == 0 && ok;
}

}  // namespace qlp::linux_desktop
