#pragma once
// A fresh directory per test, scripts that leave traces, and waiting for them.

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace qlp::linux_desktop::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillop-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    ::chmod(path.c_str(), mode);
}

// A shell script that runs `body`; it writes its trace to a scratch name and
// renames it, so a reader never sees half of it.
inline void writeScript(const std::string& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\n" + body + "\n", 0755);
}

inline std::string traceCommand(const std::string& out, const std::string& lines) {
    return "{ " + lines + "; } > '" + out + ".part' && mv '" + out + ".part' '" + out + "'";
}

inline std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// What a started program wrote, once it has; nullopt if it never does.
inline std::optional<std::string> waitForFile(const std::string& path,
                                              std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (auto text = readFile(path)) return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

// Puts `dir` first on PATH for the lifetime of the object.
class PathPrefix {
public:
    explicit PathPrefix(const std::string& dir) {
        const char* old = std::getenv("PATH");
        if (old) saved_ = old;
        ::setenv("PATH", (dir + ":" + saved_.value_or("/usr/bin:/bin")).c_str(), 1);
    }
    ~PathPrefix() {
        if (saved_) {
            ::setenv("PATH", saved_->c_str(), 1);
        } else {
            ::unsetenv("PATH");
        }
    }
    PathPrefix(const PathPrefix&) = delete;
    PathPrefix& operator=(const PathPrefix&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace qlp::linux_desktop::test
