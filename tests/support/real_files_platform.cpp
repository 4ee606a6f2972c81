#include "support/real_files_platform.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace qlp::test {

namespace {

namespace fs = std::filesystem;

std::optional<std::string> readFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

void put32(std::string& out, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out += static_cast<char>((v >> (8 * b)) & 0xFF);
}

std::uint32_t get32(const std::string& in, std::size_t at) {
    std::uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + b])) << (8 * b);
    return v;
}

}  // namespace

RealFilesPlatform::RealFilesPlatform(const std::string& directory) { windowsDirectory = directory; }

profile::ProfileText& RealFilesPlatform::parsed(const std::string& file) {
    if (file == cachedFile_) return cached_;
    const auto bytes = readFile(file);
    cached_ = profile::ProfileText::parse(bytes ? *bytes : std::string());
    cachedFile_ = file;
    return cached_;
}

std::string RealFilesPlatform::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                        std::string_view defaultValue, const std::string& file) {
    const profile::ProfileText& text = batching_ && file == batchFile_ ? batch_ : parsed(file);
    const auto v = text.get(section, key);
    return std::string(v ? *v : defaultValue);
}

bool RealFilesPlatform::WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                                   std::string_view value, const std::string& file) {
    if (batching_ && file == batchFile_) return batch_.set(section, key, value);
    profile::ProfileText text = parsed(file);
    if (!text.set(section, key, value)) return false;
    cachedFile_.clear();
    return writeFile(file, text.text());
}

void RealFilesPlatform::BeginProfileBatch(const std::string& file) {
    if (batching_) EndProfileBatch();
    batch_ = parsed(file);
    batchFile_ = file;
    batching_ = true;
}

bool RealFilesPlatform::EndProfileBatch() {
    if (!batching_) return false;
    batching_ = false;
    cachedFile_.clear();
    return writeFile(batchFile_, batch_.text());
}

std::string RealFilesPlatform::Dir(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) ? fs::path(path).filename().string() : std::string();
}

bool RealFilesPlatform::Kill(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && fs::remove(path, ec);
}

bool RealFilesPlatform::SavePicture(const Bitmap& picture, const std::string& path) {
    return !encodePicture(picture).empty() && writeFile(path, encodePicture(picture));
}

std::optional<Bitmap> RealFilesPlatform::LoadPicture(const std::string& path) {
    const auto bytes = readFile(path);
    return bytes ? decodePicture(*bytes) : std::nullopt;
}

std::string RealFilesPlatform::encodePicture(const Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return {};
    }
    std::string out = "QLPB";
    put32(out, static_cast<std::uint32_t>(picture.width));
    put32(out, static_cast<std::uint32_t>(picture.height));
    for (const std::uint32_t p : picture.pixels) put32(out, p);
    return out;
}

std::optional<Bitmap> RealFilesPlatform::decodePicture(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "QLPB") != 0) return std::nullopt;
    const std::uint64_t w = get32(bytes, 4), h = get32(bytes, 8);
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || bytes.size() != 12 + 4 * w * h) return std::nullopt;
    Bitmap b;
    b.width = static_cast<int>(w);
    b.height = static_cast<int>(h);
    b.pixels.resize(static_cast<std::size_t>(w * h));
    for (std::size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = get32(bytes, 12 + 4 * i);
    return b;
}

}  // namespace qlp::test
