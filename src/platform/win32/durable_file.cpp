#include "platform/win32/durable_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/win32/wide_text.h"

namespace qlp::win32 {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        if (!valid()) return true;
        const BOOL ok = ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring temporaryFor(const std::wstring& target) { return target + L".tmp"; }

// The new content in a file beside the target, on the disk when it returns;
// nothing left there on failure.
bool writeBesideFlushed(const std::wstring& target, std::string_view bytes) {
    const std::wstring temporary = temporaryFor(target);
    Handle file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const bool written = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    if (!file.close() || !written) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

// Moves the flushed file beside the target over it, or removes it.
bool moveOver(const std::wstring& target) {
    const std::wstring temporary = temporaryFor(target);
    if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileW(temporary.c_str());
    return false;
}

constexpr DWORD kFlushers = 8;

// The threads that flush a save's files with it, kept from one save to the
// next for the life of the process: under Wine, starting eight threads anew
// for each save took a third of the time of a save whose flushes cost nothing.
PTP_POOL flushPool() {
    static const PTP_POOL pool = [] {
        const PTP_POOL made = ::CreateThreadpool(nullptr);
        if (!made) return made;
        ::SetThreadpoolThreadMaximum(made, kFlushers - 1);
        if (!::SetThreadpoolThreadMinimum(made, kFlushers - 1)) {
            ::CloseThreadpool(made);
            return PTP_POOL{};
        }
        return made;
    }();
    return pool;
}

// A new content written beside its target, to be flushed and moved over it.
struct Pending {
    std::wstring target;
    HANDLE file = INVALID_HANDLE_VALUE;
    char ok = false;  // not a bit of a vector<bool>: written from several threads
};

struct Flushing {
    std::vector<Pending>& pending;
    std::atomic<std::size_t> next{0};

    void run() {
        for (std::size_t i; (i = next.fetch_add(1)) < pending.size();) {
            Pending& p = pending[i];
            if (p.ok) p.ok = ::FlushFileBuffers(p.file) != FALSE;
        }
    }
    static void CALLBACK runOnPool(PTP_CALLBACK_INSTANCE, void* self, PTP_WORK) { static_cast<Flushing*>(self)->run(); }
};

// Flushes the written ones side by side: each flush waits for the disk, and
// flushes that wait at the same time share their turns at it, where one after
// another each would wait alone.
void flushSideBySide(std::vector<Pending>& pending) {
    Flushing flushing{pending};
    TP_CALLBACK_ENVIRON environment;
    ::InitializeThreadpoolEnvironment(&environment);
    const PTP_POOL pool = flushPool();
    PTP_WORK helpers = nullptr;
    if (pool) {
        ::SetThreadpoolCallbackPool(&environment, pool);
        helpers = ::CreateThreadpoolWork(&Flushing::runOnPool, &flushing, &environment);
    }
    if (helpers) {
        for (std::size_t n = 1; n < std::min<std::size_t>(kFlushers, pending.size()); ++n) {
            ::SubmitThreadpoolWork(helpers);
        }
    }
    // This thread flushes too, and all of them when there is no pool.
    flushing.run();
    if (helpers) {
        ::WaitForThreadpoolWorkCallbacks(helpers, FALSE);
        ::CloseThreadpoolWork(helpers);
    }
    ::DestroyThreadpoolEnvironment(&environment);
}

}  // namespace

FileKind fileKind(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::Missing;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) ? FileKind::Other : FileKind::Regular;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return std::nullopt;
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::uint64_t limit, FileStamp* stamp) {
    Handle file(::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    // Not GetFileInformationByHandle: it also asks for the volume's serial
    // number, which costs Wine half a millisecond a file.
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(file.get(), FileStandardInfo, &standard, sizeof standard)) {
        return false;
    }
    if (standard.Directory || (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) return false;
    if (standard.EndOfFile.QuadPart < 0) return false;
    const auto size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    if (size > limit || size > 0x7FFFFFFF) return false;
    // One byte more than the size, to see a file that grew while it was read.
    bytes.assign(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) {
            return false;
        }
        if (got == 0) break;
        done += got;
    }
    if (done > size) return false;
    bytes.resize(done);
    if (stamp) {
        stamp->size = size;
        stamp->lastWrite = static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart);
    }
    return true;
}

bool replaceFileDurably(const std::string& path, std::string_view bytes) {
    const std::wstring target = widen(path);
    return writeBesideFlushed(target, bytes) && moveOver(target);
}

std::vector<bool> replaceFilesDurably(const std::vector<Replacement>& files) {
    std::vector<Pending> pending(files.size());
    // All written before any is flushed: creating a file while flushes are
    // under way waits for them on a journalled file system.
    for (std::size_t i = 0; i < files.size(); ++i) {
        Pending& p = pending[i];
        p.target = widen(files[i].path);
        p.file = ::CreateFileW(temporaryFor(p.target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        p.ok = p.file != INVALID_HANDLE_VALUE && writeAll(p.file, files[i].bytes);
    }
    flushSideBySide(pending);
    // Only now, with every new content on the disk, is any old file replaced.
    std::vector<bool> replaced(files.size(), false);
    for (std::size_t i = 0; i < pending.size(); ++i) {
        Pending& p = pending[i];
        if (p.file == INVALID_HANDLE_VALUE) continue;
        const bool closed = ::CloseHandle(p.file) != FALSE;
        if (closed && p.ok) {
            replaced[i] = moveOver(p.target);
        } else {
            ::DeleteFileW(temporaryFor(p.target).c_str());
        }
    }
    return replaced;
}

void removeLeftovers(const std::string& folder, const std::function<bool(std::string_view name)>& ours) {
    constexpr std::wstring_view kMark = L".tmp";
    const std::wstring wideFolder = widen(folder);
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW((wideFolder + L"\\*" + std::wstring(kMark)).c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY)) {
            continue;
        }
        const std::wstring_view name = found.cFileName;
        // The pattern matches short names too, whose long ones end otherwise.
        if (name.size() <= kMark.size() || name.substr(name.size() - kMark.size()) != kMark) continue;
        if (ours(narrow(name.substr(0, name.size() - kMark.size())))) {
            ::DeleteFileW((wideFolder + L"\\" + std::wstring(name)).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool overwriteFile(const std::string& path, std::string_view bytes) {
    Handle file(
        ::CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && writeAll(file.get(), bytes) && file.close();
}

}  // namespace qlp::win32
