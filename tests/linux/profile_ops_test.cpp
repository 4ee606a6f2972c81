// The Linux profile operations on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "linux/temp_dir.h"
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ProfileOpsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("QLPconf.ini");
    LinuxPlatform ops{dir.path()};
};

TEST_F(ProfileOpsTest, EachWriteReplacesTheFileWholeWithMode0600) {
    EXPECT_EQ(ops.GetPrivateProfileStringA("S", "k", "NL", file), "NL");
    ASSERT_TRUE(ops.WritePrivateProfileStringA("S", "k", "v", file));
    EXPECT_EQ(readBytes(file), "[S]\nk=v\n");
    EXPECT_EQ(statOf(file).st_mode & 07777, 0600u);
    const ino_t first = statOf(file).st_ino;

    ASSERT_TRUE(ops.WritePrivateProfileStringA("S", "k2", "w", file));
    EXPECT_EQ(readBytes(file), "[S]\nk=v\nk2=w\n");
    EXPECT_NE(statOf(file).st_ino, first) << "a new file took the old one's place";
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"QLPconf.ini"}) << "nothing left beside it";
    EXPECT_EQ(ops.GetPrivateProfileStringA("s", "K2", "NL", file), "w");
}

TEST_F(ProfileOpsTest, ABatchIsOneReplacementThatReadsAsTheWritesOneByOne) {
    writeBytes(file, "; mine\r\n[DATA]\r\nTEXT0=old\r\n\r\n[Other]\r\nx=1\r\n");
    TempDir otherDir;
    const std::string other = otherDir.file("QLPconf.ini");
    writeBytes(other, readBytes(file));
    LinuxPlatform oneByOne{otherDir.path()};
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {{"DATA", "TEXT0", "new"},   {"DATA", "SETUMEI0", "n"}, {"Option", "top", "1500"},
                  {"data", "text0", "newer"}, {"Other", "y", "2"},       {"DATA", "bad", "a\nb"}};

    const ino_t before = statOf(file).st_ino;
    ops.BeginProfileBatch(file);
    for (const auto& w : writes) {
        EXPECT_EQ(ops.WritePrivateProfileStringA(w.section, w.key, w.value, file),
                  oneByOne.WritePrivateProfileStringA(w.section, w.key, w.value, other))
            << w.key;
    }
    EXPECT_EQ(ops.GetPrivateProfileStringA("DATA", "TEXT0", "NL", file), "newer") << "reads see the batch";
    EXPECT_EQ(statOf(file).st_ino, before) << "nothing reaches the disk before the batch ends";
    EXPECT_TRUE(ops.EndProfileBatch());
    EXPECT_EQ(readBytes(file), readBytes(other));
    EXPECT_EQ(readBytes(file),
              "; mine\r\n[DATA]\r\nTEXT0=newer\r\nSETUMEI0=n\r\n\r\n[Other]\r\nx=1\r\ny=2\r\n[Option]\r\ntop=1500\r\n");
}

TEST_F(ProfileOpsTest, ReadsFollowTheFileWhenItChangesUnderneath) {
    ASSERT_TRUE(ops.WritePrivateProfileStringA("S", "k", "aaaa", file));
    EXPECT_EQ(ops.GetPrivateProfileStringA("S", "k", "NL", file), "aaaa");
    // Rewritten in place with the same size: only the modification time tells.
    writeBytes(file, "[S]\nk=bbbb\n");
    EXPECT_EQ(ops.GetPrivateProfileStringA("S", "k", "NL", file), "bbbb");
    // Replaced by another file.
    writeBytes(dir.file("x"), "[S]\nk=cccc\n");
    std::filesystem::rename(dir.file("x"), file);
    EXPECT_EQ(ops.GetPrivateProfileStringA("S", "k", "NL", file), "cccc");
    std::filesystem::remove(file);
    EXPECT_EQ(ops.GetPrivateProfileStringA("S", "k", "NL", file), "NL");
}

TEST_F(ProfileOpsTest, RefusedAndFailedWritesLeaveTheFileAlone) {
    writeBytes(file, "[DATA]\nTEXT0=/bin/sh\n");
    const ino_t inode = statOf(file).st_ino;
    EXPECT_FALSE(ops.WritePrivateProfileStringA("DATA", "TEXT0", "/tmp/x\nTEXT1=/evil", file));
    EXPECT_FALSE(ops.WritePrivateProfileStringA("DATA", "TEXT0", std::string("a\0b", 3), file));
    EXPECT_FALSE(ops.WritePrivateProfileStringA("DA\rTA", "TEXT0", "a", file));
    EXPECT_EQ(readBytes(file), "[DATA]\nTEXT0=/bin/sh\n");
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_FALSE(ops.WritePrivateProfileStringA("S", "k", "v", dir.file("missing-dir/QLPconf.ini")));
}

TEST_F(ProfileOpsTest, ADirectoryInPlaceOfTheFileReadsAsMissingAndIsNeverReplaced) {
    std::filesystem::create_directory(file);
    EXPECT_EQ(ops.GetPrivateProfileStringA("S", "k", "NL", file), "NL");
    EXPECT_FALSE(ops.WritePrivateProfileStringA("S", "k", "v", file));
    ops.BeginProfileBatch(file);
    EXPECT_FALSE(ops.WritePrivateProfileStringA("S", "k", "v", file));
    EXPECT_FALSE(ops.EndProfileBatch());
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST_F(ProfileOpsTest, ALinkedSettingsFileStaysALink) {
    const std::string target = dir.file("real.ini");
    writeBytes(target, "[S]\nk=old\n");
    std::filesystem::create_symlink(target, file);
    ASSERT_TRUE(ops.WritePrivateProfileStringA("S", "k", "new", file));
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(readBytes(target), "[S]\nk=new\n");
}

}  // namespace
}  // namespace qlp::linux_desktop
