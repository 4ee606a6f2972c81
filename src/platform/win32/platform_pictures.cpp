// Icons, the drawing surface and picture files.
#include <windows.h>
// The headers that build on windows.h:
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "model/files.h"
#include "platform/bmp/bmp_codec.h"
#include "platform/win32/durable_file.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/profile_cache.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace qlp::win32 {

namespace {

// A 32-bit top-down DIB section holding `image`, selected into a memory DC.
class DibSurface {
public:
    explicit DibSurface(const Bitmap& image) : width_(image.width), height_(image.height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!dc_ || !bitmap_ || !bits_) return;
        old_ = ::SelectObject(dc_, bitmap_);
        // 0xAARRGGBB in memory is the DIB's B, G, R, A.
        std::memcpy(bits_, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() {
        if (old_) ::SelectObject(dc_, old_);
        if (bitmap_) ::DeleteObject(bitmap_);
        if (dc_) ::DeleteDC(dc_);
    }
    bool ok() const { return bits_ != nullptr && old_ != nullptr; }
    HDC dc() const { return dc_; }
    void copyTo(Bitmap& image) const {
        ::GdiFlush();
        const auto* px = static_cast<const std::uint32_t*>(bits_);
        // A screen picture is opaque; GDI leaves the alpha byte undefined.
        for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = px[i] | 0xFF000000u;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// Any picture the system can load as a bitmap (other depths, compressed), as 32-bit pixels.
std::optional<Bitmap> loadWithSystem(const std::string& path) {
    const HANDLE handle =
        ::LoadImageW(nullptr, widen(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!handle) return std::nullopt;
    const auto bitmap = static_cast<HBITMAP>(handle);
    BITMAP shape{};
    std::optional<Bitmap> picture;
    if (::GetObjectW(bitmap, sizeof shape, &shape) && shape.bmWidth > 0 && shape.bmHeight > 0 &&
        shape.bmWidth <= 16384 && shape.bmHeight <= 16384) {
        Bitmap out;
        out.width = shape.bmWidth;
        out.height = shape.bmHeight;
        out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = out.width;
        info.bmiHeader.biHeight = -out.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        const HDC dc = ::CreateCompatibleDC(nullptr);
        if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(out.height), out.pixels.data(), &info, DIB_RGB_COLORS) ==
            out.height) {
            for (auto& p : out.pixels) p |= 0xFF000000u;
            picture = std::move(out);
        }
        ::DeleteDC(dc);
    }
    ::DeleteObject(bitmap);
    return picture;
}

}  // namespace

bool Win32Platform::SavePicture(const Bitmap& picture, const std::string& path) {
    const std::vector<unsigned char> encoded = bmp::encodeBmp(picture);
    if (encoded.empty()) return false;
    std::string bytes(encoded.begin(), encoded.end());
    // The scratch picture only carries an icon into a slot within this run.
    if (path == scratchFileIn(GetWindowsDirectoryA())) return overwriteFile(path, bytes);
    const bool batching = profile_->store.batching();
    if (batching) {
        // The last picture given for a file is the one it gets.
        std::erase_if(pendingPictures_, [&](const Replacement& pending) { return pending.path == path; });
    }
    const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // A folder or a device there is never replaced.
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return false;
        // A picture file that already holds these bytes is left as it is: most saves find every picture unchanged.
        std::string existing;
        // (A larger file cannot hold them, and is not read.)
        if (readWholeFile(path, existing, bytes.size()) && existing == bytes) return true;
        // Nor is a read-only file: the system refuses to replace it.
        if (attributes & FILE_ATTRIBUTE_READONLY) return false;
    }
    if (!batching) return replaceFileDurably(path, bytes);
    // During a save the pictures are written and flushed together when it ends, not one by one.
    pendingPictures_.push_back(Replacement{path, std::move(bytes)});
    return true;
}

bool Win32Platform::commitPendingPictures() {
    const std::vector<bool> replaced = replaceFilesDurably(pendingPictures_);
    pendingPictures_.clear();
    return std::find(replaced.begin(), replaced.end(), false) == replaced.end();
}

std::optional<Bitmap> Win32Platform::LoadPicture(const std::string& path) {
    std::string content;
    // Pictures are icons: a file far larger than the largest one is not read at all.
    if (!readWholeFile(path, content, bmp::kLargestPictureFile)) return std::nullopt;
    const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
    if (auto picture = bmp::decodeBmp(bytes, content.size())) return picture;
    // The system's loader fills a cut-off bitmap with whatever it likes; a file
    // shorter than its header says is no picture.
    if (content.size() < 6 || content[0] != 'B' || content[1] != 'M') return std::nullopt;
    const std::uint32_t declared = static_cast<std::uint32_t>(bytes[2]) | static_cast<std::uint32_t>(bytes[3]) << 8 |
                                   static_cast<std::uint32_t>(bytes[4]) << 16 |
                                   static_cast<std::uint32_t>(bytes[5]) << 24;
    if (declared > content.size()) return std::nullopt;
    auto picture = loadWithSystem(path);
    // Pictures are icons, whoever decodes them.
    if (picture && (picture->width > bmp::kLargestPictureSide || picture->height > bmp::kLargestPictureSide)) {
        return std::nullopt;
    }
    return picture;
}

IconHandle Win32Platform::ExtractAssociatedIconA(HINSTANCE instance, std::string& path, std::uint16_t& iconIndex) {
    const std::wstring wide = widen(path);
    if (wide.empty()) return 0;
    onDemand::ensureCom();
    // ExtractAssociatedIconW gives the file's own icon (a program's, an icon
    // file's) and otherwise puts the associated program's path in the buffer:
    // then the icon Explorer shows for the file is its type's, from SHGetFileInfoW.
    std::wstring buffer = wide;
    buffer.resize(std::max<std::size_t>(buffer.size() + 1, 32768), L'\0');
    WORD index = iconIndex;
    HICON own = ::ExtractAssociatedIconW(reinterpret_cast<::HINSTANCE>(instance), buffer.data(), &index);
    if (own && std::wstring(buffer.c_str()) == wide) {
        iconIndex = index;
        return reinterpret_cast<IconHandle>(own);
    }
    if (own) ::DestroyIcon(own);
    SHFILEINFOW info{};
    if (::SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON) && info.hIcon) {
        return reinterpret_cast<IconHandle>(info.hIcon);
    }
    return 0;
}

bool Win32Platform::DrawIconEx(Surface& surface, int x, int y, IconHandle icon, int cx, int cy, unsigned step,
                               std::intptr_t, unsigned flags) {
    if (!icon || !bmp::wholeImage(surface.image)) return false;
    DibSurface dib(surface.image);
    if (!dib.ok()) return false;
    const BOOL drawn =
        ::DrawIconEx(dib.dc(), x, y, reinterpret_cast<HICON>(icon), cx, cy, step, nullptr, flags ? flags : DI_NORMAL);
    if (!drawn) return false;
    dib.copyTo(surface.image);
    return true;
}

bool Win32Platform::DestroyIcon(IconHandle icon) { return icon && ::DestroyIcon(reinterpret_cast<HICON>(icon)); }

bool Win32Platform::BitBlt(Surface& destination, int x, int y, int width, int height, const Surface& source, int sx,
                           int sy, unsigned rop) {
    return rop == kSrcCopy && bmp::copyClipped(destination.image, x, y, width, height, source.image, sx, sy);
}

}  // namespace qlp::win32
