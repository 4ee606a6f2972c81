#include "platform/linux/startup/startup_prefetch.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QMimeDatabase>

#include "platform/linux/files/bmp_file.h"
#include "platform/linux/linux_platform.h"
#include "temp_dir.h"

namespace qlp::linux_desktop {
namespace {

using test::TempDir;
using test::writeBytes;

Bitmap plain(int side, std::uint32_t colour) {
    return Bitmap{side, side, std::vector<std::uint32_t>(static_cast<std::size_t>(side) * side, colour)};
}

std::string bmp(const Bitmap& b) {
    const auto bytes = encodeBmp(b);
    return {bytes.begin(), bytes.end()};
}

Bitmap decoded(const std::string& bytes) {
    auto picture = decodeBmp(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_TRUE(picture.has_value());
    return picture.value_or(Bitmap{});
}

class StartupPrefetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        script = dir.file("tool");
        writeBytes(script, "#!/bin/sh\necho hello\n");
        page = dir.file("page.html");
        writeBytes(page, "<html><body>x</body></html>\n");
        writeBytes(dir.file("QLPconf.ini"), "[DATA]\nTEXT0=" + script + "\nTEXT1=" + page + "\nTEXT2=" +
                                                dir.file("gone") + "\nTEXT3=" + script + "\n[OPTION]\nPage=2\n");
        writeBytes(dir.file("Licn0"), "not a picture at all");
        writeBytes(dir.file("Licn1"), bmp(plain(36, 0xFF112233u)));
    }

    TempDir dir;
    std::string script;
    std::string page;
};

TEST_F(StartupPrefetchTest, ReadsTheSettingsThePicturesAndTheTypesOfSlotsWithoutOne) {
    const StartupFiles files = readStartupFiles(dir.path());
    ASSERT_TRUE(files.settings.has_value());
    EXPECT_EQ(files.settings->path, dir.file("QLPconf.ini"));
    EXPECT_EQ(files.settings->text.get("option", "page"), std::optional<std::string_view>("2"));
    EXPECT_EQ(files.settings->identity, regularFileIdentity(dir.file("QLPconf.ini")));

    // Only what decodes as our bitmap is kept; the garbage is left to the normal reading.
    ASSERT_EQ(files.pictures.size(), 1u);
    const auto picture = files.pictures.find(dir.file("Licn1"));
    ASSERT_NE(picture, files.pictures.end());
    EXPECT_EQ(picture->second.picture.pixels, decoded(test::readBytes(dir.file("Licn1"))).pixels);

    // Slot 0 has no usable picture and a file: its type is found, once for
    // both slots that hold it. Slot 1 has a picture, slot 2 no file.
    ASSERT_EQ(files.types.size(), 1u);
    const auto type = files.types.find(script);
    ASSERT_NE(type, files.types.end());
    EXPECT_EQ(type->second.mimeName, contentTypeOf(QString::fromStdString(script)).name());
    EXPECT_EQ(type->second.identity, regularFileIdentity(script));
}

TEST_F(StartupPrefetchTest, AskedForTheFrontPageOnlyItReadsForThePageTheWindowOpensOn) {
    // Slots 0 to 3 are on page 0; the file says the window opens on page 2.
    const StartupFiles other = readStartupFiles(dir.path(), true);
    EXPECT_TRUE(other.types.empty());
    EXPECT_TRUE(other.pictures.empty());
    EXPECT_EQ(readStartupFiles(dir.path(), false).types.size(), 1u);
    // A picture of page 2 (which shows slots 36 to 47) is read.
    writeBytes(dir.file("Licn40"), bmp(plain(8, 0xFF010203u)));
    const StartupFiles front = readStartupFiles(dir.path(), true);
    ASSERT_EQ(front.pictures.size(), 1u);
    EXPECT_EQ(front.pictures.count(dir.file("Licn40")), 1u);
    for (const char* page : {"0", " 0", "x", "12"}) {
        SCOPED_TRACE(page);
        // Anything but a page number means the first page.
        writeBytes(dir.file("QLPconf.ini"), "[DATA]\nTEXT0=" + script + "\n[Option]\nPage=" + page + "\n");
        const StartupFiles files = readStartupFiles(dir.path(), true);
        EXPECT_EQ(files.types.count(script), 1u);
        EXPECT_EQ(files.pictures.count(dir.file("Licn1")), 1u);
        EXPECT_EQ(files.pictures.count(dir.file("Licn40")), 0u);
    }
}

TEST_F(StartupPrefetchTest, QtKeepsTheStartingThreadForItsMainThread) {
    // Slot 0 is on the front page and needs its content read: the reading uses Qt.
    writeBytes(dir.file("QLPconf.ini"), "[DATA]\nTEXT0=" + script + "\n");
    const std::string command = std::string(QLP_SETTINGS_CHILD) + " prefetch " + dir.path() + " 2>&1";
    const auto [printed, status] = test::runCommand(command);
    ASSERT_NE(status, -1);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << printed;
    // Any warning (such as the application object not being made in Qt's main thread) fails it.
    EXPECT_EQ(printed, "types=1\n");
}

TEST_F(StartupPrefetchTest, NothingIsFoundWithoutASettingsFileButThePictures) {
    TempDir empty;
    writeBytes(empty.file("Licn7"), bmp(plain(4, 0xFF000000u)));
    const StartupFiles files = readStartupFiles(empty.path());
    EXPECT_FALSE(files.settings.has_value());
    EXPECT_EQ(files.pictures.size(), 1u);
    EXPECT_TRUE(files.types.empty());
}

// What was read ahead stands only while its file is unchanged: every read
// sees the file as it is when the launcher asks for it.
TEST_F(StartupPrefetchTest, AFileChangedAfterTheReadingAheadIsReadAgain) {
    for (const bool change : {false, true}) {
        SCOPED_TRACE(change);
        SetUp();
        LinuxPlatform platform(dir.path());
        StartupFiles ahead = readStartupFiles(dir.path());
        // Different sizes, so the change shows even within one tick of the file clock.
        const Bitmap replaced = plain(20, 0xFF445566u);
        if (change) {
            writeBytes(dir.file("QLPconf.ini"), "[OPTION]\nPage=7\n");
            writeBytes(dir.file("Licn1"), bmp(replaced));
        }
        platform.adoptStartupFiles(std::move(ahead));
        EXPECT_EQ(platform.GetPrivateProfileStringA("OPTION", "Page", "-", dir.file("QLPconf.ini")),
                  change ? "7" : "2");
        const auto picture = platform.LoadPicture(dir.file("Licn1"));
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->width, change ? 20 : 36);
        EXPECT_EQ(picture->pixels, decoded(test::readBytes(dir.file("Licn1"))).pixels);
        // A picture read ahead is taken once; a later load reads the file.
        writeBytes(dir.file("Licn1"), bmp(plain(8, 0xFF000000u)));
        EXPECT_EQ(platform.LoadPicture(dir.file("Licn1"))->width, 8);
        // The garbage picture is refused as it is without reading ahead.
        EXPECT_FALSE(platform.LoadPicture(dir.file("Licn0")).has_value());
    }
}

TEST_F(StartupPrefetchTest, AStartReadingAheadLoadsWhatItWouldWithout) {
    LinuxPlatform ahead(dir.path());
    ahead.prefetchStartupFiles();
    LinuxPlatform plain(dir.path());
    for (const char* key : {"TEXT0", "TEXT1", "TEXT3", "TEXT9"}) {
        EXPECT_EQ(ahead.GetPrivateProfileStringA("DATA", key, "-", dir.file("QLPconf.ini")),
                  plain.GetPrivateProfileStringA("DATA", key, "-", dir.file("QLPconf.ini")));
    }
    for (const char* name : {"Licn0", "Licn1", "Licn2"}) {
        const auto a = ahead.LoadPicture(dir.file(name));
        const auto b = plain.LoadPicture(dir.file(name));
        ASSERT_EQ(a.has_value(), b.has_value()) << name;
        if (a) {
            EXPECT_EQ(a->pixels, b->pixels) << name;
        }
    }
}

TEST_F(StartupPrefetchTest, ATypeFoundAheadIsUsedOnlyForTheFileItWasFoundFor) {
    IconLookup reference;
    const IconSource pageIcon = reference.sourceFor(page);
    const IconSource scriptIcon = reference.sourceFor(script);
    ASSERT_NE(pageIcon, scriptIcon) << "the theme tells a page from a script";
    const QString pageType = QMimeDatabase().mimeTypeForFile(QString::fromStdString(page)).name();

    // A type recorded for the file as it is now stands, even where it is not
    // what the content says: it shows the record is what is used.
    IconLookup current;
    current.adoptTypes({{script, PrefetchedType{*regularFileIdentity(script), pageType}}});
    EXPECT_EQ(current.sourceFor(script), pageIcon);
    // Taken once: the next lookup goes to the file.
    EXPECT_EQ(current.sourceFor(script), scriptIcon);

    // A record for an older version of the file is passed over.
    IconLookup stale;
    FileIdentity older = *regularFileIdentity(script);
    older.size += 1;
    stale.adoptTypes({{script, PrefetchedType{older, pageType}}});
    EXPECT_EQ(stale.sourceFor(script), scriptIcon);
}

TEST_F(StartupPrefetchTest, TheScratchPictureIsReadBackAsTheFileHoldsIt) {
    LinuxPlatform platform(dir.path());
    const std::string scratch = dir.file("QLPtemp");
    // Alpha is not kept by the file: what comes back is what the file holds.
    const Bitmap drawn = plain(36, 0x80ABCDEFu);
    ASSERT_TRUE(platform.SavePicture(drawn, scratch));
    const auto back = platform.LoadPicture(scratch);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->pixels, decoded(test::readBytes(scratch)).pixels);
    // Written by someone else since: the file is read.
    writeBytes(scratch, bmp(plain(12, 0xFF010203u)));
    const auto other = platform.LoadPicture(scratch);
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->width, 12);
    // And gone: nothing.
    std::remove(scratch.c_str());
    EXPECT_FALSE(platform.LoadPicture(scratch).has_value());
}

// Two icon themes of the test's own, first in the data directories, so that
// each icon tells which theme it came from (the system's data directory stays,
// for the content types).
class FrontIconsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        qtTheme = QIcon::themeName();
        qtPaths = QIcon::themeSearchPaths();
        ::setenv("HOME", dir.file("home").c_str(), 1);
        ::setenv("XDG_DATA_HOME", dir.file("home/data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (dir.file("share") + ":/usr/share").c_str(), 1);
        theme("Adwaita", kFallbackColour);
        theme("Other", kOtherColour);
        notes = dir.file("notes.txt");
        writeBytes(notes, "plain words\n");
        program = dir.file("tool.desktop");
        writeBytes(program, "[Desktop Entry]\nType=Application\nName=Tool\nExec=true\nIcon=qlp-test-tool\n");
        writeBytes(dir.file("QLPconf.ini"),
                   "[DATA]\nTEXT0=" + notes + "\nTEXT1=" + program + "\nTEXT2=" + dir.path() + "\n[OPTION]\nPage=0\n");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        QIcon::setThemeSearchPaths(qtPaths);
        QIcon::setThemeName(qtTheme);
    }

    // A folder, a text icon at the icon size and a program's icon drawn larger.
    void theme(const std::string& name, QRgb colour) {
        const std::string root = dir.file("share/icons/" + name);
        for (const char* sub : {"32x32/places", "32x32/mimetypes", "48x48/apps"}) {
            std::filesystem::create_directories(root + "/" + sub);
        }
        writeBytes(root + "/index.theme",
                   "[Icon Theme]\nName=" + name +
                       "\nDirectories=32x32/places,32x32/mimetypes,48x48/apps\n"
                       "[32x32/places]\nSize=32\nType=Fixed\n[32x32/mimetypes]\nSize=32\nType=Fixed\n"
                       "[48x48/apps]\nSize=48\nType=Fixed\n");
        const auto png = [&](const std::string& file, int side) {
            QImage image(side, side, QImage::Format_ARGB32);
            image.fill(colour);
            ASSERT_TRUE(image.save(QString::fromStdString(root + "/" + file), "PNG"));
        };
        png("32x32/places/folder.png", 32);
        png("32x32/mimetypes/text-x-generic.png", 32);
        png("48x48/apps/qlp-test-tool.png", 48);
    }

    static constexpr QRgb kFallbackColour = 0xFFCC2200u;
    static constexpr QRgb kOtherColour = 0xFF0033CCu;
    TempDir dir;
    std::string notes;
    std::string program;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    QString qtTheme;
    QStringList qtPaths;
};

TEST_F(FrontIconsTest, TheFrontPagesIconsAreThoseOfTheThemeTheDesktopNames) {
    const struct {
        const char* configured;
        const char* settled;
        QRgb colour;
    } cases[] = {
        {"", "Adwaita", kFallbackColour},
        {"hicolor", "Adwaita", kFallbackColour},
        {"Adwaita", "Adwaita", kFallbackColour},
        {"Other", "Other", kOtherColour},
        {"NotInstalled", "Adwaita", kFallbackColour},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configured);
        StartupPrefetch prefetch(dir.path());
        prefetch.lookUpIcons(QString::fromLatin1(c.configured));
        ASSERT_TRUE(prefetch.take().has_value());
        auto ahead = prefetch.takeIcons();
        ASSERT_TRUE(ahead.has_value());
        EXPECT_FALSE(prefetch.takeIcons().has_value()) << "handed over once";
        IconLookup startup;
        startup.adopt(std::move(*ahead));
        EXPECT_EQ(startup.themeName().toStdString(), c.settled);

        // A lookup made later, on the main thread, agrees icon for icon.
        QIcon::setThemeName(QString::fromLatin1(c.configured));
        IconLookup later;
        // The program's icon is drawn larger: scaled on the main thread, not ahead.
        for (const std::string& path : {notes, program, dir.path()}) {
            SCOPED_TRACE(path);
            const QImage icon = startup.iconFor(path);
            ASSERT_EQ(icon.size(), QSize(kIconSize, kIconSize));
            EXPECT_EQ(icon.pixel(kIconSize / 2, kIconSize / 2), c.colour);
            EXPECT_EQ(icon, later.iconFor(path));
        }
    }
}

TEST_F(FrontIconsTest, NoIconsAreLookedUpUnlessAskedForAndNeeded) {
    {
        StartupPrefetch notAsked(dir.path());
        EXPECT_TRUE(notAsked.take().has_value());
        EXPECT_FALSE(notAsked.takeIcons().has_value());
    }
    // Every front-page slot with a picture of ours: no icon to look up.
    writeBytes(dir.file("QLPconf.ini"), "[DATA]\nTEXT0=" + notes + "\n[OPTION]\nPage=0\n");
    writeBytes(dir.file("Licn0"), bmp(plain(32, 0xFF445566u)));
    StartupPrefetch pictured(dir.path());
    pictured.lookUpIcons(QString());
    EXPECT_FALSE(pictured.takeIcons().has_value());
    EXPECT_EQ(pictured.take()->pictures.size(), 1u);
}

}  // namespace
}  // namespace qlp::linux_desktop
