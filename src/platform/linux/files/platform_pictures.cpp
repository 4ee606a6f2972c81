// Icons, the drawing surface and picture files.
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "platform/linux/files/bmp_file.h"
#include "platform/linux/files/durable_file.h"
#include "platform/linux/files/file_read.h"
#include "platform/linux/files/profile_cache.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/services/icon_lookup.h"
#include "platform/linux/views/picture_convert.h"
#include "model/files.h"

namespace qlp::linux_desktop {

namespace {

// Slot pictures tell what the user runs: the user's alone to read.
constexpr mode_t kPictureMode = 0600;

// Whether the picture file at `path` holds `bytes` already, as a file of the
// user's alone.
bool fileHolds(const std::string& path, const std::vector<unsigned char>& bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 07777) != kPictureMode ||
        st.st_size != static_cast<off_t>(bytes.size())) {
        return false;
    }
    std::string content;
    FileIdentity identity;
    return readWhole(path, content, identity, bytes.size()) && content.size() == bytes.size() &&
           std::equal(bytes.begin(), bytes.end(), reinterpret_cast<const unsigned char*>(content.data()));
}

}  // namespace

bool LinuxPlatform::SavePicture(const Bitmap& picture, const std::string& path) {
    const std::vector<unsigned char> bytes = encodeBmp(picture);
    if (bytes.empty()) return false;
    // A save has made the folder when it began.
    if (!profile_->store.batching()) ensureSettingsFolder(path);
    // The scratch picture only carries an icon into a slot within this run.
    if (path == scratchFileIn(GetWindowsDirectoryA())) {
        scratch_.reset();
        scratchInMemory_ = false;
        auto written = decodeBmp(bytes.data(), bytes.size());
        if (!overwriteInPlace(path, bytes.data(), bytes.size(), kPictureMode)) {
            // Something that is no file of ours stands there: the picture
            // goes on to its slot in memory, as it would through the file.
            if (written) scratch_ = PrefetchedPicture{FileIdentity{}, std::move(*written)};
            scratchInMemory_ = scratch_.has_value();
            return false;
        }
        const auto identity = regularFileIdentity(path);
        if (identity && written) scratch_ = PrefetchedPicture{*identity, std::move(*written)};
        return true;
    }
    // A picture file that already holds these bytes is left as it is: most
    // saves find every picture unchanged.
    if (fileHolds(path, bytes)) return true;
    if (!profile_->store.batching()) return replaceFileDurably(path, bytes.data(), bytes.size(), kPictureMode);
    // During a save the pictures are flushed together when it ends, not one by one.
    std::string temp;
    if (!writeBeside(path, bytes.data(), bytes.size(), kPictureMode, Durability::None, temp)) return false;
    pendingPictures_.emplace_back(std::move(temp), path);
    return true;
}

void LinuxPlatform::commitPendingPictures() {
    if (pendingPictures_.empty()) return;
    // Every new picture is on the disk before any of them replaces its old
    // file; one that could not be flushed leaves the old file in place.
    std::vector<std::string> temps;
    temps.reserve(pendingPictures_.size());
    for (const auto& entry : pendingPictures_) temps.push_back(entry.first);
    const std::vector<bool> flushed = flushFiles(temps);
    for (std::size_t i = 0; i < pendingPictures_.size(); ++i) {
        const auto& [temp, path] = pendingPictures_[i];
        if (flushed[i]) {
            moveInto(temp);
        } else {
            ::unlink(temp.c_str());
        }
    }
    syncDirectoryOf(pendingPictures_.front().second);
    pendingPictures_.clear();
}

std::optional<Bitmap> LinuxPlatform::LoadPicture(const std::string& path) {
    adoptPrefetch();
    const auto prefetched = prefetchedPictures_.find(path);
    if (prefetched != prefetchedPictures_.end()) {
        PrefetchedPicture entry = std::move(prefetched->second);
        prefetchedPictures_.erase(prefetched);
        if (regularFileIdentity(path) == entry.identity) return std::move(entry.picture);
    }
    if (scratch_ && path == scratchFileIn(GetWindowsDirectoryA()) &&
        (scratchInMemory_ || regularFileIdentity(path) == scratch_->identity)) {
        return scratch_->picture;
    }
    std::string content;
    FileIdentity identity;
    if (!readWhole(path, content, identity, kLargestPictureFile)) return std::nullopt;
    // Our own bitmaps are read directly; other pictures go to Qt's readers.
    if (auto picture = decodeBmp(reinterpret_cast<const unsigned char*>(content.data()), content.size())) {
        return picture;
    }
    QByteArray bytes = QByteArray::fromStdString(content);
    QBuffer buffer(&bytes);
    // The picture files carry no extension: the content tells the format.
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const auto tooLarge = [](QSize size) {
        return size.width() > kLargestPictureSide || size.height() > kLargestPictureSide;
    };
    // Refused before it is decoded where the format tells its size.
    if (tooLarge(reader.size())) return std::nullopt;
    const QImage image = reader.read();
    if (image.isNull() || tooLarge(image.size())) return std::nullopt;
    return fromQImage(image);
}

IconHandle LinuxPlatform::ExtractAssociatedIconA(HINSTANCE, std::string& path, std::uint16_t&) {
    adoptPrefetchedIcons();
    const QImage image = iconLookup_.iconFor(path);
    if (image.isNull()) return 0;
    const IconHandle handle = nextIcon_++;
    icons_.emplace(handle, QIcon(QPixmap::fromImage(image)));
    return handle;
}

bool LinuxPlatform::DrawIconEx(Surface& surface, int x, int y, IconHandle icon, int cx, int cy, unsigned, std::intptr_t,
                               unsigned) {
    const auto it = icons_.find(icon);
    if (it == icons_.end() || !bmp::wholeImage(surface.image)) return false;
    // Width and height 0 mean the icon's own size.
    const QList<QSize> sizes = it->second.availableSizes();
    const QSize own = sizes.isEmpty() ? QSize(kIconSize, kIconSize) : sizes.front();
    const QSize size(cx > 0 ? cx : own.width(), cy > 0 ? cy : own.height());
    const QImage drawn = it->second.pixmap(size, 1.0).toImage();
    QImage target = toQImage(surface.image);
    {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(QRect(QPoint(x, y), size), drawn);
    }
    surface.image = fromQImage(target);
    return true;
}

bool LinuxPlatform::DestroyIcon(IconHandle icon) { return icons_.erase(icon) > 0; }

bool LinuxPlatform::BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source, int sx,
                           int sy, unsigned rop) {
    return rop == kSrcCopy && bmp::copyClipped(destination.image, x, y, width, height, source.image, sx, sy);
}

}  // namespace qlp::linux_desktop
