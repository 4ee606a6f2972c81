#pragma once
// A fresh directory per test, removed afterwards.

#include <stdlib.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qlp::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qlp-linux-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// What a shell command printed, and its wait status (-1 when it could not be run).
struct CommandOutput {
    std::string printed;
    int status = -1;
};

inline CommandOutput runCommand(const std::string& command) {
    CommandOutput result;
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return result;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out)) result.printed += buffer;
    result.status = ::pclose(out);
    return result;
}

}  // namespace qlp::test
