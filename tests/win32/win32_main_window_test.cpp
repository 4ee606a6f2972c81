// The main window as real Win32 windows under Wine, started from real files the
// way quillop.exe starts: the front page comes up with its pictures and the
// other pages' follow after the first paint; the page windows draw their
// slots and tell which slot the mouse is on; the hover texts are asked for
// when shown; the common controls are bound only then, from the manifest's
// version.
#include <gtest/gtest.h>
#include <windows.h>
// The headers that build on windows.h:
#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "launcher/navigation.h"
#include "platform/win32/desktop.h"
#include "platform/win32/main_window.h"
#include "platform/win32/on_demand.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "settings/settings_io.h"
#include "win32_test_support.h"

namespace qlp::test {
namespace {

using win32::Desktop;
using win32::MainWindow;

// A colour of its own for every slot, so a picture on the screen names its slot.
std::uint32_t colourOf(int slot) { return 0xFF000000u | static_cast<std::uint32_t>(0x102030 + slot * 0x010203); }

std::vector<::HWND> pageWindows(::HWND main) {
    std::vector<::HWND> pages;
    ::EnumChildWindows(
        main,
        [](::HWND w, LPARAM list) {
            wchar_t name[64] = {};
            ::GetClassNameW(w, name, 64);
            if (std::wstring(name) == L"QuillopPage") reinterpret_cast<std::vector<::HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&pages));
    return pages;
}

::HWND shownPage(::HWND main) {
    for (::HWND p : pageWindows(main)) {
        if (::IsWindowVisible(p)) return p;
    }
    return nullptr;
}

void pumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

POINT centreIn(::HWND window, const RECT& screen) {
    POINT p{(screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2};
    ::ScreenToClient(window, &p);
    return p;
}

class Win32MainWindow : public ::testing::Test {
protected:
    WinTempDir dir;

    void SetUp() override {
        // Every slot filled, with its picture and a description, saved as the launcher saves.
        win32::Win32Platform writer(dir.utf8());
        Launcher filled(writer);
        Form1& f = filled.form1;
        f.winDir = dir.utf8();
        for (int i = 0; i < kSlotCount; ++i) {
            f.slotPath[i] = "C:\\tools\\tool-" + std::to_string(i) + ".exe";
            f.slotNote[i] = "道具 " + std::to_string(i);
            f.Image1[i].picture =
                std::make_shared<const Bitmap>(Bitmap{32, 32, std::vector<std::uint32_t>(32 * 32, colourOf(i))});
        }
        SaveSettings(filled);
    }

    // quillop.exe's start: the load with the other pages left for later, then
    // the message that follows the first paint.
    struct Started {
        explicit Started(const std::string& folder) : platform(folder), app(platform) {
            app.deferOffPageIcons = true;
            desktop = std::make_unique<Desktop>(app, platform, ::GetModuleHandleW(nullptr));
            desktop->dispatch([&] { Form_Load(app); });
        }
        ~Started() {
            desktop.reset();
            win32::onDemand::leaveCom();
        }
        void finishStart() {
            ::PostMessageW(desktop->mainWindow().handle(), win32::kAfterStartMessage, 0, 0);
            for (int round = 0; round < 50 && !app.pendingIcons.empty(); ++round) pumpMessages();
            pumpMessages();
        }
        MainWindow& main() { return desktop->mainWindow(); }
        win32::Win32Platform platform;
        Launcher app;
        std::unique_ptr<Desktop> desktop;
    };
};

TEST_F(Win32MainWindow, TheFrontPageComesUpWithItsPicturesAndTheOthersFollowAfterThePaint) {
    Started s(dir.utf8());
    ASSERT_TRUE(::IsWindowVisible(s.main().handle()));
    for (int i = 0; i < kSlotsPerPage; ++i) {
        ASSERT_TRUE(s.app.form1.Image1[i].picture) << "slot " << i;
        EXPECT_EQ(s.app.form1.Image1[i].picture->pixels.front(), colourOf(i)) << "slot " << i;
    }
    EXPECT_EQ(s.app.pendingIcons.size(), static_cast<std::size_t>(kSlotCount - kSlotsPerPage));
    EXPECT_FALSE(s.app.form1.Image1[kSlotCount - 1].picture);
    // One page window, the front one; slots are not windows of their own.
    EXPECT_EQ(pageWindows(s.main().handle()).size(), 1u);

    s.finishStart();
    EXPECT_TRUE(s.app.pendingIcons.empty());
    for (int i = 0; i < kSlotCount; ++i) {
        ASSERT_TRUE(s.app.form1.Image1[i].picture) << "slot " << i;
        EXPECT_EQ(s.app.form1.Image1[i].picture->pixels.back(), colourOf(i)) << "slot " << i;
    }
}

TEST_F(Win32MainWindow, NoHandlerSeesASlotWhosePictureIsStillToCome) {
    Started s(dir.utf8());
    ASSERT_FALSE(s.app.pendingIcons.empty());
    bool allThere = false;
    s.desktop->dispatch([&] {
        allThere = std::all_of(s.app.form1.Image1.begin(), s.app.form1.Image1.end(),
                               [](const Control& c) { return c.picture != nullptr; });
    });
    EXPECT_TRUE(allThere);
    EXPECT_TRUE(s.app.pendingIcons.empty());
}

TEST_F(Win32MainWindow, ThePageWindowFindsTheSlotUnderTheMouseAndDrawsEachInItsPlace) {
    Started s(dir.utf8());
    s.finishStart();
    const ::HWND page = shownPage(s.main().handle());
    ASSERT_TRUE(page);

    // The mouse over a slot shows that slot's description; between slots nothing changes.
    for (int slot : {3, 0, 5, 6, 11}) {
        const RECT r = s.main().slotScreenRect(slot);
        const POINT at = centreIn(page, r);
        EXPECT_EQ(s.main().slotAtScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), slot);
        ::SendMessageW(page, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(s.app.form1.txt_Ktext.caption, "道具 " + std::to_string(slot));
    }
    const RECT last = s.main().slotScreenRect(kSlotsPerPage - 1);
    EXPECT_EQ(s.main().slotAtScreen(POINT{last.right + 1, last.bottom + 1}), -1);

    // Painted into a bitmap of the page's size: each slot's colour at its centre.
    RECT client{};
    ::GetClientRect(page, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap && bits);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    s.main().paintPage(0, dc, client);
    ::GdiFlush();
    auto pixel = [&](POINT p) { return static_cast<const std::uint32_t*>(bits)[p.y * client.right + p.x] & 0xFFFFFFu; };
    for (int slot = 0; slot < kSlotsPerPage; ++slot) {
        EXPECT_EQ(pixel(centreIn(page, s.main().slotScreenRect(slot))), colourOf(slot) & 0xFFFFFFu) << "slot " << slot;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST_F(Win32MainWindow, AnotherPageBroughtToTheFrontGetsItsWindowAndHoverTexts) {
    Started s(dir.utf8());
    s.finishStart();
    s.desktop->dispatch([&] { setPage(s.app, 4); });
    EXPECT_EQ(pageWindows(s.main().handle()).size(), 2u);
    const ::HWND page = shownPage(s.main().handle());
    ASSERT_TRUE(page);
    const POINT at = centreIn(page, s.main().slotScreenRect(4 * kSlotsPerPage + 2));
    ::SendMessageW(page, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(s.app.form1.txt_Ktext.caption, "道具 50");

    // The tooltip asks the page for a slot's text when it shows it.
    ASSERT_TRUE(s.main().tooltip());
    for (int slot : {4 * kSlotsPerPage, 4 * kSlotsPerPage + 11}) {
        NMTTDISPINFOW request{};
        request.hdr.hwndFrom = s.main().tooltip();
        request.hdr.idFrom = static_cast<UINT_PTR>(slot);
        request.hdr.code = TTN_GETDISPINFOW;
        ::SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
        ASSERT_TRUE(request.lpszText);
        EXPECT_FALSE(s.app.form1.Image1[slot].toolTip.empty());
        EXPECT_EQ(std::wstring(request.lpszText), win32::widen(s.app.form1.Image1[slot].toolTip));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = page;
    tool.uId = 4 * kSlotsPerPage + 2;
    EXPECT_TRUE(::SendMessageW(s.main().tooltip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    const RECT expected = s.main().slotScreenRect(4 * kSlotsPerPage + 2);
    POINT corner{expected.left, expected.top};
    ::ScreenToClient(page, &corner);
    EXPECT_EQ(tool.rect.left, corner.x);
    EXPECT_EQ(tool.rect.top, corner.y);
}

TEST_F(Win32MainWindow, TheCommonControlsAreBoundAfterTheStartFromTheManifestsVersion) {
    Started s(dir.utf8());
    s.finishStart();
    std::wstring file = win32::onDemand::commonControlsFile();
    std::transform(file.begin(), file.end(), file.begin(), [](wchar_t c) { return std::towlower(c); });
    // Version 6 is kept in the side-by-side store; version 5 in the system folder.
    EXPECT_NE(file.find(L"winsxs"), std::wstring::npos) << win32::narrow(file);
}

}  // namespace
}  // namespace qlp::test
