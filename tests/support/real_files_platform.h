#pragma once
// The recording fake, but with the settings file and the picture files kept
// as real files in a directory, read and written through the real profile
// engine. Several instances may share one directory, as launchers started one
// after the other do.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/profile/profile_text.h"
#include "support/fake_platform.h"

namespace qlp::test {

class RealFilesPlatform : public FakePlatform {
public:
    explicit RealFilesPlatform(const std::string& directory);

    std::string GetPrivateProfileStringA(std::string_view section, std::string_view key, std::string_view defaultValue,
                                         const std::string& file) override;
    bool WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                    const std::string& file) override;
    void BeginProfileBatch(const std::string& file) override;
    bool EndProfileBatch() override;
    std::string Dir(const std::string& path) override;
    bool Kill(const std::string& path) override;
    bool SavePicture(const Bitmap& picture, const std::string& path) override;
    std::optional<Bitmap> LoadPicture(const std::string& path) override;

    // The picture file format: "QLPB", width and height as 32-bit little-endian
    // numbers, then the pixels row by row.
    static std::string encodePicture(const Bitmap& picture);
    static std::optional<Bitmap> decodePicture(const std::string& bytes);

private:
    // The parsed file, reused until this platform writes it: while a launcher
    // runs on the directory nothing else writes the settings file.
    profile::ProfileText& parsed(const std::string& file);

    std::string cachedFile_;
    profile::ProfileText cached_;
    bool batching_ = false;
    std::string batchFile_;
    profile::ProfileText batch_;
};

}  // namespace qlp::test
