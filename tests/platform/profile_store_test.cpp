// The settings store against a file system held in memory, which counts what
// the store asks of it.
#include "platform/profile/profile_store.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace qlp::profile {
namespace {

// One character beyond ASCII: é, the byte 0xE9 in this code page.
class LatinCodePage final : public LegacyCodePage {
public:
    std::optional<std::string> toUtf8(std::string_view bytes) override {
        std::string out;
        for (const char c : bytes) {
            if (c == '\xE9') {
                out += "\xC3\xA9";
            } else if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else {
                return std::nullopt;
            }
        }
        return out;
    }
    std::optional<std::string> fromUtf8(std::string_view utf8) override {
        std::string out;
        for (std::size_t at = 0; at < utf8.size(); ++at) {
            if (utf8.substr(at, 2) == "\xC3\xA9") {
                out += '\xE9';
                ++at;
            } else if (static_cast<unsigned char>(utf8[at]) < 0x80) {
                out += utf8[at];
            } else {
                return std::nullopt;
            }
        }
        return out;
    }
};

class MemoryFiles final : public ProfileFiles {
public:
    struct Entry {
        Kind kind = Kind::Regular;
        std::string bytes;
        // Bumped by every change made through put() or replace().
        std::int64_t generation = 0;
        // The size the file system reports, when not that of `bytes`.
        std::optional<std::uint64_t> reportedSize;
        // The file system wants it written anew at the next save.
        bool rewrite = false;
        bool unreadable = false;
    };

    // Sets a file's content as another program would, which gives it a new version.
    void put(const std::string& path, std::string bytes) {
        Entry& entry = entries[path];
        entry.bytes = std::move(bytes);
        entry.reportedSize.reset();
        entry.rewrite = false;
        entry.generation = ++generations_;
    }

    Look look(const std::string& path) override {
        ++looks;
        const auto found = entries.find(path);
        if (found == entries.end()) return Look{Kind::Missing, {}};
        if (found->second.kind != Kind::Regular) return Look{found->second.kind, {}};
        return Look{Kind::Regular, versionOf(found->second), found->second.rewrite};
    }
    bool read(const std::string& path, std::size_t limit, std::string& bytes,
              std::optional<FileVersion>& version) override {
        ++reads;
        const auto found = entries.find(path);
        if (found == entries.end() || found->second.kind != Kind::Regular || found->second.unreadable) return false;
        if (found->second.bytes.size() > limit) return false;
        bytes = found->second.bytes;
        version = versionOf(found->second);
        return true;
    }
    bool replace(const std::string& path, std::string_view bytes, std::optional<FileVersion>& version) override {
        log.push_back("replace " + path);
        if (failReplace) return false;
        ++replaces;
        put(path, std::string(bytes));
        version = versionOf(entries[path]);
        return true;
    }
    void prepareWrite(const std::string& path) override { log.push_back("prepare " + path); }

    std::map<std::string, Entry> entries;
    int looks = 0;
    int reads = 0;
    int replaces = 0;
    bool failReplace = false;
    std::vector<std::string> log;

private:
    static FileVersion versionOf(const Entry& entry) {
        return FileVersion{entry.reportedSize.value_or(entry.bytes.size()), {entry.generation, 0, 0, 0}};
    }
    std::int64_t generations_ = 0;
};

const std::string kFile = "/config/quillop.ini";

struct StoreTest : ::testing::Test {
    MemoryFiles files;
    LatinCodePage codePage;
    ProfileStore store{files, codePage, FileEncoding::Utf8};

    // What a store that never read the file before finds in it now.
    std::string freshRead(std::string_view section, std::string_view key) {
        ProfileStore other{files, codePage, FileEncoding::Utf8};
        return other.get(section, key, "(none)", kFile);
    }
};

TEST_F(StoreTest, ReadsTheFileAgainOnlyWhenItsVersionChanged) {
    files.put(kFile, "[a]\r\nk=one\r\n");
    EXPECT_EQ(store.get("a", "k", "", kFile), "one");
    EXPECT_EQ(files.reads, 1);

    // The same version: served from what was parsed, even when the bytes
    // changed behind the file system's back.
    files.entries[kFile].bytes = "[a]\r\nk=two\r\n";
    EXPECT_EQ(store.get("a", "k", "", kFile), "one");
    EXPECT_EQ(store.get("a", "other", "dflt", kFile), "dflt");
    EXPECT_EQ(files.reads, 1);

    // A new version is read.
    files.put(kFile, "[a]\r\nk=three\r\n");
    EXPECT_EQ(store.get("a", "k", "", kFile), "three");
    EXPECT_EQ(files.reads, 2);

    // Another file is another cache entry.
    files.put("/other.ini", "[a]\r\nk=four\r\n");
    EXPECT_EQ(store.get("a", "k", "", "/other.ini"), "four");
    EXPECT_EQ(store.get("a", "k", "", kFile), "three");
    EXPECT_EQ(files.reads, 4);
}

TEST_F(StoreTest, AFileWrittenHereIsNotReadBack) {
    ASSERT_TRUE(store.set("a", "k", "v", kFile));
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(store.get("a", "k", "", kFile), "v");
    EXPECT_EQ(files.reads, 0);
    EXPECT_EQ(freshRead("a", "k"), "v");

    // The folder is prepared before the file is written.
    const std::vector<std::string> expected = {"prepare " + kFile, "replace " + kFile};
    EXPECT_EQ(files.log, expected);
}

TEST_F(StoreTest, AFailedReplacementIsReportedAndTheFileReadAgain) {
    files.put(kFile, "[a]\r\nk=old\r\n");
    files.failReplace = true;
    EXPECT_FALSE(store.set("a", "k", "new", kFile));
    EXPECT_EQ(files.entries[kFile].bytes, "[a]\r\nk=old\r\n");
    const int reads = files.reads;
    EXPECT_EQ(store.get("a", "k", "", kFile), "old");
    EXPECT_EQ(files.reads, reads + 1);
}

TEST_F(StoreTest, AFileTooLargeReadsAsMissingAndIsLeftUntilASaveReplacesIt) {
    files.put(kFile, "[a]\r\nk=big\r\n");
    files.entries[kFile].reportedSize = kLargestSettingsFile + 1;
    EXPECT_EQ(store.get("a", "k", "dflt", kFile), "dflt");
    EXPECT_EQ(store.get("a", "k", "dflt", kFile), "dflt");
    EXPECT_EQ(files.reads, 0);
    EXPECT_EQ(files.replaces, 0);

    // Exactly the bound is still a settings file.
    files.entries[kFile].reportedSize = kLargestSettingsFile;
    ++files.entries[kFile].generation;
    EXPECT_EQ(store.get("a", "k", "dflt", kFile), "big");

    files.entries[kFile].reportedSize = kLargestSettingsFile + 1;
    ++files.entries[kFile].generation;
    EXPECT_EQ(store.get("a", "k", "dflt", kFile), "dflt");
    ASSERT_TRUE(store.set("b", "x", "y", kFile));
    // The save starts a new file: nothing of the large one is kept.
    EXPECT_EQ(freshRead("b", "x"), "y");
    EXPECT_EQ(freshRead("a", "k"), "(none)");
}

// A file that is there but can't be read is never written over, outside a
// batch or in one: its content would be lost.
TEST_F(StoreTest, AFileThatCantBeReadIsNeverReplaced) {
    struct Case {
        const char* name;
        ProfileFiles::Kind kind;
        bool unreadable;
    };
    const Case cases[] = {{"unreadable file", ProfileFiles::Kind::Regular, true},
                          {"not a regular file", ProfileFiles::Kind::Unusable, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles disk;
        ProfileStore fresh{disk, codePage, FileEncoding::Utf8};
        disk.put(kFile, "[a]\r\nk=kept\r\n");
        disk.entries[kFile].kind = c.kind;
        disk.entries[kFile].unreadable = c.unreadable;

        EXPECT_EQ(fresh.get("a", "k", "dflt", kFile), "dflt");
        EXPECT_FALSE(fresh.set("a", "k", "lost", kFile));

        fresh.beginBatch(kFile);
        EXPECT_FALSE(fresh.set("a", "k", "lost", kFile));
        EXPECT_EQ(fresh.get("a", "k", "dflt", kFile), "dflt");
        EXPECT_FALSE(fresh.endBatch());

        EXPECT_EQ(disk.replaces, 0);
        EXPECT_EQ(disk.entries[kFile].bytes, "[a]\r\nk=kept\r\n");

        // Readable again, it is read and written as any other.
        disk.entries[kFile].kind = ProfileFiles::Kind::Regular;
        disk.entries[kFile].unreadable = false;
        EXPECT_EQ(fresh.get("a", "k", "dflt", kFile), "kept");
        EXPECT_TRUE(fresh.set("a", "k", "new", kFile));
        EXPECT_EQ(disk.replaces, 1);
    }
}

TEST_F(StoreTest, ABatchWritesTheFileOnceAtItsEnd) {
    files.put(kFile, "[a]\r\nk=old\r\n");
    store.beginBatch(kFile);
    EXPECT_TRUE(store.batching());
    EXPECT_EQ(store.batchFile(), kFile);
    EXPECT_TRUE(store.set("a", "k", "new", kFile));
    EXPECT_TRUE(store.set("b", "x", "y", kFile));
    // The batch's own writes read back before the end; nothing is written yet.
    EXPECT_EQ(store.get("a", "k", "", kFile), "new");
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(freshRead("a", "k"), "old");

    EXPECT_TRUE(store.endBatch());
    EXPECT_FALSE(store.batching());
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(freshRead("a", "k"), "new");
    EXPECT_EQ(freshRead("b", "x"), "y");
    // What was written is what the store holds: no read follows.
    const int reads = files.reads;
    EXPECT_EQ(store.get("b", "x", "", kFile), "y");
    EXPECT_EQ(files.reads, reads);
    // And no batch ends twice.
    EXPECT_FALSE(store.endBatch());
    EXPECT_EQ(files.replaces, 1);
}

TEST_F(StoreTest, ABatchThatChangedNothingWritesNothing) {
    struct Case {
        const char* name;
        bool exists;
    };
    for (const Case& c : {Case{"existing file", true}, Case{"missing file", false}}) {
        SCOPED_TRACE(c.name);
        MemoryFiles disk;
        ProfileStore fresh{disk, codePage, FileEncoding::Utf8};
        if (c.exists) disk.put(kFile, "[a]\r\nk=same\r\n");
        fresh.beginBatch(kFile);
        EXPECT_EQ(fresh.get("a", "k", "dflt", kFile), c.exists ? "same" : "dflt");
        EXPECT_TRUE(fresh.endBatch());
        EXPECT_EQ(disk.replaces, 0);
        EXPECT_EQ(disk.entries.count(kFile), c.exists ? 1u : 0u);
        // The text the batch held is the store's again, without a read.
        const int reads = disk.reads;
        EXPECT_EQ(fresh.get("a", "k", "dflt", kFile), c.exists ? "same" : "dflt");
        EXPECT_EQ(disk.reads, reads);
    }
}

TEST_F(StoreTest, ABatchThatSetsEveryValueToWhatItWasLeavesTheFileAlone) {
    // Spacing and line ends of the file's own, which a rewrite would keep too.
    const std::string original = "[a]\r\nk=same\r\n[b]\nx = y\n";
    files.put(kFile, original);
    const FileVersion before = files.look(kFile).version;
    store.beginBatch(kFile);
    EXPECT_TRUE(store.set("a", "k", "same", kFile));
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(files.entries[kFile].bytes, original);
    EXPECT_EQ(files.look(kFile).version, before);
    // Nothing is read again either: the store holds the file as it is.
    const int reads = files.reads;
    EXPECT_EQ(store.get("b", "x", "", kFile), "y");
    EXPECT_EQ(files.reads, reads);

    // One value different, and the file is replaced.
    store.beginBatch(kFile);
    EXPECT_TRUE(store.set("a", "k", "same", kFile));
    EXPECT_TRUE(store.set("b", "x", "z", kFile));
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(freshRead("b", "x"), "z");
    EXPECT_EQ(freshRead("a", "k"), "same");

    // A file the file system wants written anew is, its text unchanged.
    files.entries[kFile].rewrite = true;
    store.beginBatch(kFile);
    EXPECT_TRUE(store.set("a", "k", "same", kFile));
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(files.replaces, 2);
    EXPECT_FALSE(files.entries[kFile].rewrite);

    // A file another program changed since is judged by what it holds now.
    files.put(kFile, "[a]\r\nk=theirs\r\n");
    store.beginBatch(kFile);
    EXPECT_TRUE(store.set("a", "k", "same", kFile));
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(files.replaces, 3);
    EXPECT_EQ(freshRead("a", "k"), "same");
}

TEST_F(StoreTest, ABatchTakesOnlyItsOwnFile) {
    files.put("/other.ini", "[a]\r\nk=o\r\n");
    store.beginBatch(kFile);
    EXPECT_TRUE(store.set("a", "k", "v", "/other.ini"));
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(store.get("a", "k", "", "/other.ini"), "v");
    EXPECT_TRUE(store.set("a", "k", "b", kFile));
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(files.replaces, 2);
    EXPECT_EQ(freshRead("a", "k"), "b");
}

TEST_F(StoreTest, AFailedReplacementAtTheBatchsEndIsReported) {
    files.put(kFile, "[a]\r\nk=old\r\n");
    store.beginBatch(kFile);
    EXPECT_TRUE(store.set("a", "k", "new", kFile));
    files.failReplace = true;
    EXPECT_FALSE(store.endBatch());
    EXPECT_EQ(files.entries[kFile].bytes, "[a]\r\nk=old\r\n");
    EXPECT_EQ(store.get("a", "k", "", kFile), "old");
}

TEST_F(StoreTest, UnacceptableTextIsRefused) {
    EXPECT_FALSE(store.set("a", "k", "line\nbreak", kFile));
    store.beginBatch(kFile);
    EXPECT_FALSE(store.set("a", "k", "line\nbreak", kFile));
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(files.replaces, 0);
}

// A new file is written in the encoding the desktop gives; a file read is
// written back in its own.
TEST(StoreEncodingTest, ANewFileTakesTheDesktopsEncodingAnOldOneKeepsItsOwn) {
    struct Case {
        FileEncoding newFile;
        std::optional<std::string> existing;
        std::string expected;
    };
    const Case cases[] = {
        {FileEncoding::Utf8, std::nullopt, "[a]\nk=caf\xC3\xA9\n"},
        {FileEncoding::Legacy, std::nullopt, "[a]\nk=caf\xE9\n"},
        {FileEncoding::Utf8, std::string("[a]\r\nk=\xE9t\xE9\r\n"), "[a]\r\nk=caf\xE9\r\n"},
        {FileEncoding::Legacy, std::string("[a]\r\nk=\xC3\xA9t\xC3\xA9\r\n"), "[a]\r\nk=caf\xC3\xA9\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        MemoryFiles disk;
        LatinCodePage codePage;
        ProfileStore store{disk, codePage, c.newFile};
        if (c.existing) disk.put(kFile, *c.existing);
        ASSERT_TRUE(store.set("a", "k", "caf\xC3\xA9", kFile));
        EXPECT_EQ(disk.entries[kFile].bytes, c.expected);
        EXPECT_EQ(store.get("a", "k", "", kFile), "caf\xC3\xA9");
    }
}

TEST_F(StoreTest, AdoptedTextServesReadsWhileItsVersionHolds) {
    files.put(kFile, "[a]\r\nk=disk\r\n");
    const FileVersion version{files.entries[kFile].bytes.size(), {files.entries[kFile].generation, 0, 0, 0}};
    store.adopt(kFile, version, ProfileText::parse("[a]\r\nk=ahead\r\n"), FileCoding(FileEncoding::Utf8));
    EXPECT_EQ(store.get("a", "k", "", kFile), "ahead");
    EXPECT_EQ(files.reads, 0);
    // Once something is held, a later read-ahead is not taken.
    store.adopt(kFile, version, ProfileText::parse("[a]\r\nk=late\r\n"), FileCoding(FileEncoding::Utf8));
    EXPECT_EQ(store.get("a", "k", "", kFile), "ahead");
    // A new version is read from the disk.
    files.put(kFile, "[a]\r\nk=changed\r\n");
    EXPECT_EQ(store.get("a", "k", "", kFile), "changed");
}

TEST_F(StoreTest, ReadAheadIsNotTakenDuringABatch) {
    files.put(kFile, "[a]\r\nk=disk\r\n");
    const FileVersion version{files.entries[kFile].bytes.size(), {files.entries[kFile].generation, 0, 0, 0}};
    store.beginBatch(kFile);
    store.adopt(kFile, version, ProfileText::parse("[a]\r\nk=ahead\r\n"), FileCoding(FileEncoding::Utf8));
    EXPECT_EQ(store.get("a", "k", "", kFile), "disk");
    EXPECT_TRUE(store.endBatch());
    EXPECT_EQ(store.get("a", "k", "", kFile), "disk");
}

}  // namespace
}  // namespace qlp::profile
