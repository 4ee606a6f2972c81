#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstring>

#include "platform/linux/files/bmp_file.h"
#include "platform/linux/files/durable_file.h"
#include "platform/linux/linux_platform.h"

namespace qlp::linux_desktop {
namespace {

std::uint32_t readLe(const QByteArray& bytes, int at, int size) {
    std::uint32_t v = 0;
    for (int b = size - 1; b >= 0; --b) v = v << 8 | static_cast<unsigned char>(bytes[at + b]);
    return v;
}

Bitmap pattern(int width, int height) {
    Bitmap b{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x * 7) << 16 |
                               static_cast<std::uint32_t>(y * 13) << 8 | static_cast<std::uint32_t>((x ^ y) & 0xFF));
    return b;
}

Surface surface(int width, int height, std::uint32_t colour) {
    Surface s;
    s.backColor = colour;
    s.image = Bitmap{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
    return s;
}

class PicturesTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir dir;
    LinuxPlatform platform{dir.path().toStdString()};
};

TEST_F(PicturesTest, ASavedSurfaceIsAValidBitmapThatLoadsBackTheSame) {
    // 33 pixels wide needs row padding; 36 is the drawing surface.
    for (const auto& [width, height] : {std::pair{36, 36}, std::pair{33, 17}, std::pair{1, 1}}) {
        SCOPED_TRACE(width);
        const Bitmap picture = pattern(width, height);
        const std::string file = path("QLPtemp");
        ASSERT_TRUE(platform.SavePicture(picture, file));
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const int stride = (width * 3 + 3) / 4 * 4;
        ASSERT_GE(bytes.size(), 54);
        EXPECT_EQ(bytes.left(2), QByteArray("BM"));
        EXPECT_EQ(readLe(bytes, 2, 4), static_cast<std::uint32_t>(bytes.size()));
        EXPECT_EQ(readLe(bytes, 10, 4), 54u);
        EXPECT_EQ(readLe(bytes, 14, 4), 40u);
        EXPECT_EQ(readLe(bytes, 18, 4), static_cast<std::uint32_t>(width));
        EXPECT_EQ(readLe(bytes, 22, 4), static_cast<std::uint32_t>(height));  // bottom-up
        EXPECT_EQ(readLe(bytes, 26, 2), 1u);
        EXPECT_EQ(readLe(bytes, 28, 2), 24u);
        EXPECT_EQ(readLe(bytes, 30, 4), 0u);
        EXPECT_EQ(bytes.size(), 54 + stride * height);
        // The first row stored is the bottom one, blue first.
        const std::uint32_t bottomLeft = picture.pixels[static_cast<std::size_t>(height - 1) * width];
        EXPECT_EQ(static_cast<unsigned char>(bytes[54]), bottomLeft & 0xFF);
        EXPECT_EQ(static_cast<unsigned char>(bytes[56]), (bottomLeft >> 16) & 0xFF);

        const auto loaded = platform.LoadPicture(file);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(*loaded, picture);
    }
    // Replaced in place: no temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"QLPtemp"});
}

TEST_F(PicturesTest, AFailedSaveLeavesTheOldFile) {
    const std::string file = path("Licn3");
    ASSERT_TRUE(platform.SavePicture(pattern(4, 4), file));
    EXPECT_FALSE(platform.SavePicture(Bitmap{}, file));
    EXPECT_FALSE(platform.SavePicture(Bitmap{3, 3, {1, 2}}, file));
    EXPECT_EQ(*platform.LoadPicture(file), pattern(4, 4));
    EXPECT_FALSE(platform.SavePicture(pattern(4, 4), path("no-such-dir/Licn3")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Licn3"});
}

TEST_F(PicturesTest, OnlyPictureFilesLoad) {
    QFile garbage(QString::fromStdString(path("garbage")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("BM this is not a bitmap at all, just words");
    garbage.close();
    QImage png(5, 3, QImage::Format_ARGB32);
    png.fill(QColor(1, 2, 3));
    ASSERT_TRUE(png.save(QString::fromStdString(path("picture")), "PNG"));  // no extension
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    QFile(QString::fromStdString(path("empty"))).open(QIODevice::WriteOnly);

    EXPECT_FALSE(platform.LoadPicture(path("garbage")));
    EXPECT_FALSE(platform.LoadPicture(path("folder")));
    EXPECT_FALSE(platform.LoadPicture(path("empty")));
    EXPECT_FALSE(platform.LoadPicture(path("missing")));
    const auto loaded = platform.LoadPicture(path("picture"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->width, 5);
    EXPECT_EQ(loaded->pixels.at(0), 0xFF010203u);
}

TEST_F(PicturesTest, AnIconIsDrawnAtTheCornerOverTheBackground) {
    const std::uint32_t back = 0xFFF0F0F0u;
    Surface s = surface(36, 36, back);
    std::string target = dir.path().toStdString();  // a folder
    std::uint16_t index = 0;
    const IconHandle icon = platform.ExtractAssociatedIconA(platform.hInstance(), target, index);
    ASSERT_NE(icon, 0);
    ASSERT_TRUE(platform.DrawIconEx(s, 0, 0, icon, 0, 0, 0, 0, kDiNormal));
    int drawn = 0;
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 36; ++x) {
            const std::uint32_t p = s.image.pixels[static_cast<std::size_t>(y) * 36 + x];
            ASSERT_EQ(p >> 24, 0xFFu) << "blended, so still opaque at " << x << "," << y;
            if (x >= 32 || y >= 32) {
                ASSERT_EQ(p, back) << x << "," << y;
            } else {
                drawn += p != back;
            }
        }
    }
    EXPECT_GT(drawn, 100);
    EXPECT_TRUE(platform.DestroyIcon(icon));
    EXPECT_FALSE(platform.DestroyIcon(icon));
    const Bitmap before = s.image;
    EXPECT_FALSE(platform.DrawIconEx(s, 0, 0, icon, 0, 0, 0, 0, kDiNormal));
    EXPECT_FALSE(platform.DrawIconEx(s, 0, 0, 0, 0, 0, 0, 0, kDiNormal));
    EXPECT_EQ(s.image, before);
}

TEST_F(PicturesTest, BitBltIsClippedToBothImages) {
    Surface source = surface(36, 36, 0);
    source.image = pattern(36, 36);
    const struct {
        int dw, dh, x, y, w, h, sx, sy;
    } cases[] = {
        {33, 17, 0, 0, 495, 255, 0, 0},  // the panel's copy: extent beyond both
        {40, 40, 0, 0, 495, 255, 0, 0},  // destination larger than the source
        {10, 10, -3, -2, 8, 8, 0, 0},   {10, 10, 5, 5, 100, 100, 30, 30},
        {10, 10, 0, 0, 5, 5, -4, -4},   {10, 10, 20, 20, 5, 5, 0, 0},  // entirely outside
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dw << " " << c.x << "," << c.y << " from " << c.sx << "," << c.sy);
        Surface dest = surface(c.dw, c.dh, 0xFF123456u);
        ASSERT_TRUE(platform.BitBlt(dest, c.x, c.y, c.w, c.h, source, c.sx, c.sy, kSrcCopy));
        for (int y = 0; y < c.dh; ++y) {
            for (int x = 0; x < c.dw; ++x) {
                const int col = x - c.x, row = y - c.y;
                const int fx = c.sx + col, fy = c.sy + row;
                const bool copied =
                    col >= 0 && row >= 0 && col < c.w && row < c.h && fx >= 0 && fy >= 0 && fx < 36 && fy < 36;
                const std::uint32_t expected =
                    copied ? source.image.pixels[static_cast<std::size_t>(fy) * 36 + fx] : 0xFF123456u;
                ASSERT_EQ(dest.image.pixels[static_cast<std::size_t>(y) * c.dw + x], expected) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace qlp::linux_desktop

namespace qlp::linux_desktop {
namespace {

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(PicturesTest, PicturesOfASaveReplaceTheirFilesWhenTheSaveEnds) {
    const std::string licn = path("Licn3");
    ASSERT_TRUE(platform.SavePicture(pattern(4, 4), licn));
    const ino_t before = inodeOf(licn);

    // The same bytes again: the file is left as it is.
    ASSERT_TRUE(platform.SavePicture(pattern(4, 4), licn));
    EXPECT_EQ(inodeOf(licn), before);

    // New bytes during a save: the old file stands until the save ends.
    platform.BeginProfileBatch(path("QLPconf.ini"));
    ASSERT_TRUE(platform.SavePicture(pattern(5, 5), licn));
    EXPECT_EQ(inodeOf(licn), before);
    EXPECT_EQ(platform.LoadPicture(licn)->width, 4);
    platform.EndProfileBatch();
    EXPECT_EQ(platform.LoadPicture(licn)->width, 5);
    // Nothing but the picture is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Licn3")});
}

}  // namespace
}  // namespace qlp::linux_desktop

namespace qlp::linux_desktop {
namespace {

TEST(BitmapDecoding, ReadsWhatOtherWritersWriteAndRefusesTheRest) {
    const Bitmap picture = pattern(5, 3);
    const std::vector<unsigned char> ours = encodeBmp(picture);
    ASSERT_EQ(decodeBmp(ours.data(), ours.size()), picture);

    // The same picture as a top-down 32-bit bitmap, as other programs write it.
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, picture.pixels[static_cast<std::size_t>(y) * 5 + x]);
    std::vector<unsigned char> topDown(ours.begin(), ours.begin() + 54);
    topDown[28] = 32;
    const std::int32_t negative = -3;
    std::memcpy(&topDown[22], &negative, 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const QRgb p = image.pixel(x, y);
            topDown.insert(topDown.end(), {static_cast<unsigned char>(qBlue(p)), static_cast<unsigned char>(qGreen(p)),
                                           static_cast<unsigned char>(qRed(p)), 0});
        }
    }
    EXPECT_EQ(decodeBmp(topDown.data(), topDown.size()), picture);

    const struct {
        const char* name;
        std::size_t at;
        unsigned char value;
    } broken[] = {{"not BM", 0, 'X'}, {"compressed", 30, 1}, {"8 bits", 28, 8}, {"huge width", 21, 0x7F}};
    for (const auto& b : broken) {
        std::vector<unsigned char> bytes = ours;
        bytes[b.at] = b.value;
        EXPECT_EQ(decodeBmp(bytes.data(), bytes.size()), std::nullopt) << b.name;
    }
    // Cut short: the rows are not all there.
    EXPECT_EQ(decodeBmp(ours.data(), ours.size() - 4), std::nullopt);
    EXPECT_EQ(decodeBmp(ours.data(), 10), std::nullopt);
}

}  // namespace
}  // namespace qlp::linux_desktop

namespace qlp::linux_desktop {
namespace {

// The waits run on several threads: each answer must still be its own file's.
TEST(FileFlush, TellsForEachFileWhetherItWasFlushed) {
    QTemporaryDir dir;
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{120}}) {
        std::vector<std::string> paths;
        std::vector<bool> expected;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string path = dir.filePath(QStringLiteral("f%1-%2").arg(count).arg(i)).toStdString();
            // Every third one missing, and one a directory's link that O_NOFOLLOW refuses.
            const bool present = i % 3 != 1 && i != 5;
            if (present) {
                QFile file(QString::fromStdString(path));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("x");
            } else if (i == 5) {
                ASSERT_EQ(::symlink(dir.path().toLocal8Bit().constData(), path.c_str()), 0);
            }
            paths.push_back(path);
            expected.push_back(present);
        }
        EXPECT_EQ(flushFiles(paths), expected) << count << " files";
    }
}

}  // namespace
}  // namespace qlp::linux_desktop
