#include "platform/linux/services/icon_lookup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

namespace qlp::linux_desktop {
namespace {

using Kind = IconSource::Kind;

class IconLookupTest : public ::testing::Test {
protected:
    std::string make(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName().toStdString();
    }
    std::string redPng() {
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(QColor(255, 0, 0));
        const QString path = dir.filePath(QStringLiteral("red.png"));
        EXPECT_TRUE(red.save(path));
        return path.toStdString();
    }
    static int opaquePixels(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) == 255;
        return n;
    }

    QTemporaryDir dir;
    IconLookup lookup;
};

TEST_F(IconLookupTest, ABareSessionFallsBackToAnInstalledTheme) {
    EXPECT_FALSE(lookup.themeName().isEmpty());
    EXPECT_TRUE(QIcon::hasThemeIcon(QStringLiteral("folder"))) << lookup.themeName().toStdString();
}

TEST_F(IconLookupTest, EachKindOfPathGetsTheIconTheFileManagerShows) {
    const std::string png = redPng();
    const QByteArray entryHead = "[Desktop Action new]\nIcon=folder\n[Desktop Entry]\nType=Application\nName=Tool\n";
    const struct {
        const char* what;
        std::string path;
        Kind kind;
        QStringList names;  // any of these
    } cases[] = {
        {"text file", make("notes.txt", "plain words\n"), Kind::Theme, {"text-plain", "text-x-generic"}},
        {"folder", dir.path().toStdString(), Kind::Theme, {"folder"}},
        {"entry with an icon file",
         make("file.desktop", entryHead + "Icon[de]=folder\nIcon=" + png.c_str() + "\n"),
         Kind::File,
         {QString::fromStdString(png)}},
        {"entry with a theme name",
         make("named.desktop", entryHead + "Icon = user-trash\n"),
         Kind::Theme,
         {"user-trash"}},
        {"entry naming the icon with its extension",
         make("ext.desktop", entryHead + "Icon=user-trash.png\n"),
         Kind::Theme,
         {"user-trash"}},
        {"missing text file", "/nonexistent/place/notes.txt", Kind::Theme, {"text-plain", "text-x-generic"}},
        {"executable",
         "/bin/sh",
         Kind::Theme,
         {"application-x-executable", "application-x-sharedlib", "application-x-generic"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IconSource source = lookup.sourceFor(c.path);
        EXPECT_EQ(source.kind, c.kind);
        EXPECT_TRUE(c.names.contains(source.name)) << source.name.toStdString();
        const QImage icon = lookup.iconFor(c.path);
        EXPECT_EQ(icon.size(), QSize(kIconSize, kIconSize));
        EXPECT_GT(opaquePixels(icon), 50);
    }
    // The icon file is shown scaled to the icon size.
    const QImage entry = lookup.iconFor(dir.filePath(QStringLiteral("file.desktop")).toStdString());
    EXPECT_EQ(entry.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(entry.pixelColor(31, 31), QColor(255, 0, 0));
}

TEST_F(IconLookupTest, AnEntryWhoseIconCannotBeFoundShowsItsTypesIcon) {
    const struct {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"no icon key", "[Desktop Entry]\nName=x\n"},
        {"icon file missing", "[Desktop Entry]\nIcon=/nonexistent/icon.png\n"},
        {"unknown name", "[Desktop Entry]\nIcon=no-such-icon-anywhere-42\n"},
        {"icon only in another group", "[Other]\nIcon=user-trash\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IconSource source = lookup.sourceFor(make("e.desktop", c.content));
        EXPECT_NE(source.name, QStringLiteral("user-trash"));
        EXPECT_NE(source.kind, Kind::File);
        EXPECT_GT(opaquePixels(lookup.iconFor(dir.filePath("e.desktop").toStdString())), 50);
    }
}

TEST_F(IconLookupTest, APathOfNoKnownTypeStillYieldsAnIcon) {
    for (const std::string path : {"/nonexistent/xyz", "/nonexistent/file.qqqzzz", ""}) {
        SCOPED_TRACE(path);
        EXPECT_GT(opaquePixels(lookup.iconFor(path)), 50);
    }
}

TEST(DesktopEntryIcon, TakesOnlyThePlainKeyOfTheEntryGroup) {
    QTemporaryDir dir;
    const struct {
        QByteArray content;
        QString icon;
    } cases[] = {
        {"[Desktop Entry]\nIcon=a\n", "a"},
        {"# comment\n[Desktop Entry]\n  Icon =  b c  \n", "b c"},
        {"[Desktop Entry]\nIcon[ja]=x\nIconic=y\nIcon=z\n", "z"},
        {"[Desktop Action x]\nIcon=no\n[Desktop Entry]\nName=n\n", ""},
        {"Icon=outside\n[Desktop Entry]\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        QFile file(dir.filePath(QStringLiteral("t.desktop")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        EXPECT_EQ(desktopEntryIconValue(file.fileName()), c.icon) << c.content.toStdString();
    }
    EXPECT_EQ(desktopEntryIconValue(dir.filePath(QStringLiteral("missing.desktop"))), QString());
}

}  // namespace
}  // namespace qlp::linux_desktop
