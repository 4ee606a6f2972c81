// The settings file. Every write reaches the disk as a whole new file that
// replaces the old one atomically, so a crash at any moment leaves either the
// old or the new file; a batch turns the writes of one save into one such
// replacement. Reads are served from the parsed file while it is unchanged.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/linux/linux_platform.h"
#include "platform/linux/profile_cache.h"

namespace qlp::linux_desktop {

namespace {

using profile::ProfileText;

enum class FileState { Missing, Unusable, Parsed };

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Brings the cache to the current content of `path`.
FileState refresh(ProfileCache& cache, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        cache.valid = false;
        if (errno != ENOENT && errno != ENOTDIR) return FileState::Unusable;
        cache.path = path;
        cache.identity.reset();
        cache.text = ProfileText();
        cache.valid = true;
        return FileState::Missing;
    }
    if (!S_ISREG(st.st_mode)) {
        cache.valid = false;
        return FileState::Unusable;
    }
    if (cache.valid && cache.path == path && cache.identity == identityOf(st)) return FileState::Parsed;
    cache.valid = false;
    std::string bytes;
    FileIdentity identity;
    if (!readWhole(path, bytes, identity)) return FileState::Unusable;
    cache.path = path;
    cache.identity = identity;
    cache.text = ProfileText::parse(bytes);
    cache.valid = true;
    return FileState::Parsed;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A settings file that is a symbolic link is replaced where the link points.
std::string replacementTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Writes `bytes` beside the file, flushes them to the disk and renames them
// over it, then flushes the directory so the rename itself survives a power cut.
bool replaceFile(const std::string& path, const std::string& bytes, FileIdentity& identity) {
    const std::string target = replacementTarget(path);
    const std::string temporary = target + ".tmp";
    const auto slash = target.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);

    Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd.get() < 0) return false;
    struct stat st {};
    const bool written = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 &&
                         ::fstat(fd.get(), &st) == 0;
    if (!fd.close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    identity = identityOf(st);
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

}  // namespace

std::string LinuxPlatform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                    std::string_view defaultValue, const std::string& file) {
    adoptPrefetch();
    ProfileCache& c = *profile_;
    const ProfileText* text = nullptr;
    if (c.batching && file == c.batchFile) {
        if (!c.batchRefused) text = &c.batchText;
    } else if (refresh(c, file) != FileState::Unusable) {
        text = &c.text;
    }
    const auto value = text ? text->get(section, key) : std::nullopt;
    return std::string(value ? *value : defaultValue);
}

bool LinuxPlatform::WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                               const std::string& file) {
    adoptPrefetch();
    ProfileCache& c = *profile_;
    if (!ProfileText::acceptable(section, key, value)) return false;
    if (c.batching && file == c.batchFile) {
        if (c.batchRefused || !c.batchText.set(section, key, value)) return false;
        c.batchChanged = true;
        return true;
    }
    // A file that exists but can't be read is never replaced: its content would be lost.
    if (refresh(c, file) == FileState::Unusable) return false;
    c.text.set(section, key, value);
    FileIdentity identity;
    if (!replaceFile(file, c.text.text(), identity)) {
        c.valid = false;
        return false;
    }
    c.identity = identity;
    return true;
}

void LinuxPlatform::BeginProfileBatch(const std::string& file) {
    adoptPrefetch();
    ProfileCache& c = *profile_;
    if (c.batching) EndProfileBatch();
    c.batching = true;
    c.batchFile = file;
    c.batchChanged = false;
    c.batchRefused = refresh(c, file) == FileState::Unusable;
    c.batchText = c.batchRefused ? ProfileText() : std::move(c.text);
    c.valid = false;
}

bool LinuxPlatform::EndProfileBatch() {
    ProfileCache& c = *profile_;
    if (!c.batching) return false;
    c.batching = false;
    commitPendingPictures();
    if (c.batchRefused) return false;
    if (!c.batchChanged) {
        c.text = std::move(c.batchText);
        c.batchText = ProfileText();
        c.valid = true;
        return true;
    }
    FileIdentity identity;
    if (!replaceFile(c.batchFile, c.batchText.text(), identity)) return false;
    c.path = c.batchFile;
    c.identity = identity;
    c.text = std::move(c.batchText);
    c.batchText = ProfileText();
    c.valid = true;
    return true;
}

}  // namespace qlp::linux_desktop
