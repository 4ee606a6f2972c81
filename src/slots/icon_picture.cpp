#include "slots/icon_picture.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/files.h"
#include "model/text.h"
#include "platform/platform_ops.h"

namespace qlp {

namespace {

int pixels(float twips, float twipsPerPixel) {
    if (!(twipsPerPixel > 0) || !(twips > 0)) return 0;
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

// Brings the surface's persistent image to the box's current size, keeping
// what was drawn and filling new area with the background colour (the save
// widens the box between drawings).
void fitImage(Launcher& app, Surface& surface) {
    const int width = pixels(surface.width, app.ops.TwipsPerPixelX());
    const int height = pixels(surface.height, app.ops.TwipsPerPixelY());
    Bitmap& image = surface.image;
    if (image.width == width && image.height == height &&
        image.pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return;
    }
    Bitmap resized{width, height,
                   std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                              surface.backColor)};
    const bool intact = image.pixels.size() == static_cast<std::size_t>(image.width) * image.height;
    if (intact) {
        for (int y = 0; y < std::min(height, image.height); ++y) {
            const auto from = image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
            std::copy(from, from + std::min(width, image.width),
                      resized.pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
        }
    }
    image = std::move(resized);
}

void clearSurface(Launcher& app, Surface& surface) {
    fitImage(app, surface);
    std::fill(surface.image.pixels.begin(), surface.image.pixels.end(), surface.backColor);
}

void refreshSurface(Surface& surface) { ++surface.refreshes; }

}  // namespace

void IconDraw(Launcher& app, int s) {
    Form1& f = app.form1;
    if (!isSlotIndex(s)) return;
    // The call may write into the path it is given, so it gets a copy.
    std::string path = f.slotPath[s];
    std::uint16_t iconIndex = 0;
    const IconHandle icon = app.ops.ExtractAssociatedIconA(app.ops.hInstance(), path, iconIndex);
    clearSurface(app, f.Picture1);
    app.ops.DrawIconEx(f.Picture1, 0, 0, icon, 0, 0, 0, 0, kDiNormal);
    refreshSurface(f.Picture1);
    app.ops.DestroyIcon(icon);
}

void IconPaste(Launcher& app, int s) {
    Form1& f = app.form1;
    if (!isSlotIndex(s)) return;
    fitImage(app, f.Picture1);
    const std::string scratch = scratchFilePath(f);
    app.ops.SavePicture(f.Picture1.image, scratch);
    // A scratch file that cannot be read leaves the slot with the picture it had.
    if (auto picture = app.ops.LoadPicture(scratch)) {
        f.Image1[s].picture = std::make_shared<const Bitmap>(std::move(*picture));
    }
}

void loadSlotPicture(Launcher& app, int i) {
    Form1& f = app.form1;
    const std::string path = slotPictureFilePath(f, i);
    if (sameText(app.ops.Dir(path), slotPictureFileName(i))) {
        if (auto picture = app.ops.LoadPicture(path)) {
            f.Image1[i].picture = std::make_shared<const Bitmap>(std::move(*picture));
            return;
        }
    }
    IconDraw(app, i);
    IconPaste(app, i);
}

void drawPendingIcons(Launcher& app, std::optional<int> page) {
    std::vector<int> later;
    // Taken out first: drawing runs platform calls, which may dispatch events.
    std::vector<int> pending = std::move(app.pendingIcons);
    app.pendingIcons.clear();
    for (const int s : pending) {
        if (page && pageOfSlot(s) != *page) {
            later.push_back(s);
            continue;
        }
        // A slot emptied or refilled since the load has its picture already.
        if (isSlotEmpty(app.form1, s) || app.form1.Image1[s].picture) continue;
        loadSlotPicture(app, s);
    }
    later.insert(later.end(), app.pendingIcons.begin(), app.pendingIcons.end());
    app.pendingIcons = std::move(later);
}

void Command3_Click(Launcher& app) { IconDraw(app, app.form1.dropSlot); }

void Command4_Click(Launcher& app) { refreshSurface(app.form1.Picture1); }

void Picture1_Click(Launcher& app) { IconPaste(app, app.form1.dropSlot); }

void Picture2_Click(Launcher& app) {
    Form1& f = app.form1;
    fitImage(app, f.Picture1);
    fitImage(app, f.Picture2);
    // The extent is the box's size in twips, passed as pixels: more than both
    // images, so the copy covers all of Picture2 and the platform clips it.
    app.ops.BitBlt(f.Picture2, 0, 0, static_cast<int>(std::lround(f.Picture2.width)),
                   static_cast<int>(std::lround(f.Picture2.height)), f.Picture1, 0, 0, kSrcCopy);
    refreshSurface(f.Picture2);
}

}  // namespace qlp
