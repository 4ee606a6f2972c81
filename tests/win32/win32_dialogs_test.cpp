// The options and description dialogs as real Win32 windows under Wine, driven
// by the messages their controls get from the keyboard and the mouse, with the
// core's handlers behind them and the recording fake as the platform.
#include <gtest/gtest.h>
#include <windows.h>
// The headers that build on windows.h:
#include <commctrl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "descriptions/descriptions.h"
#include "options/options.h"
#include "platform/win32/description_dialog.h"
#include "platform/win32/options_dialog.h"
#include "support/fake_platform.h"

namespace {

using namespace qlp;
using qlp::test::FakePlatform;
using qlp::win32::DescriptionDialog;
using qlp::win32::OptionsDialog;

std::wstring textOf(::HWND w) {
    wchar_t buffer[512] = {};
    GetWindowTextW(w, buffer, 512);
    return buffer;
}

class TestHost : public win32::ViewHost {
public:
    explicit TestHost(Launcher& app) : app_(app) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillopTestMain";
        RegisterClassExW(&wc);
        main_ = CreateWindowExW(0, wc.lpszClassName, L"Quillop Ver3.5", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200,
                                100, nullptr, nullptr, wc.hInstance, nullptr);
        options = std::make_unique<OptionsDialog>(*this);
        descriptions = std::make_unique<DescriptionDialog>(*this);
    }
    ~TestHost() override {
        options.reset();
        descriptions.reset();
        DestroyWindow(main_);
    }
    Launcher& app() override { return app_; }
    void dispatch(const std::function<void()>& handler) override {
        handler();
        render();
    }
    void render() {
        options->render();
        descriptions->render();
    }
    int px(float twips) const override { return static_cast<int>(std::lround(twips / 15)); }
    int pxY(float twips) const override { return static_cast<int>(std::lround(twips / 15)); }
    ::HWND mainWindow() const override { return main_; }
    ::HINSTANCE instance() const override { return GetModuleHandleW(nullptr); }
    HFONT dialogFont() const override { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

    std::unique_ptr<OptionsDialog> options;
    std::unique_ptr<DescriptionDialog> descriptions;

private:
    Launcher& app_;
    ::HWND main_;
};

class Win32Dialogs : public ::testing::Test {
protected:
    FakePlatform ops;
    Launcher app{ops};
    TestHost host{app};

    void SetUp() override {
        form2::ensureLoaded(app);
        app.form2.MAXQLP = 120;
        form2::setSliderH(app, 240);
        form2::setSliderW(app, 240);
        form2::iconsize_Click(app);
        app.form1.slotPath[5] = "C:\\tools\\editor.exe";
        app.form1.menuSlot = 5;
        host.render();
    }
    // A key as the keyboard sends it to the focused control.
    static void key(::HWND w, WPARAM vk) {
        SendMessageW(w, WM_KEYDOWN, vk, 1);
        SendMessageW(w, WM_KEYUP, vk, 0xC0000001);
    }
    static void type(::HWND w, const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(w, WM_CHAR, c, 1);
    }
};

TEST_F(Win32Dialogs, OptionsSliderMovedByKeyboardAndAppliedByHenkou) {
    op_Click(app);
    host.render();
    OptionsDialog& d = *host.options;
    ASSERT_TRUE(IsWindowVisible(d.window()));
    EXPECT_EQ(textOf(d.window()), L"Qlp Option");
    EXPECT_EQ(textOf(d.applyButton()), L"変更");
    EXPECT_FALSE(app.form1.op.enabled);
    EXPECT_EQ(SendMessageW(d.sliderW(), TBM_GETRANGEMIN, 0, 0), 135);
    EXPECT_EQ(SendMessageW(d.sliderW(), TBM_GETRANGEMAX, 0, 0), 490);
    EXPECT_EQ(GetWindowLongW(d.sliderH(), GWL_STYLE) & TBS_VERT, TBS_VERT);

    // One arrow-key step is one pixel's worth of twips; the preview and label follow.
    key(d.sliderW(), VK_RIGHT);
    key(d.sliderW(), VK_RIGHT);
    key(d.sliderH(), VK_DOWN);
    EXPECT_EQ(app.form2.SliderW.value, 270);
    EXPECT_EQ(app.form2.SliderH.value, 255);
    EXPECT_EQ(textOf(d.sizeLabel()), L"17,18");
    RECT preview;
    GetClientRect(d.preview(), &preview);
    EXPECT_EQ(app.form2.sample_img.width, 270);
    // The main window is untouched until "変更".
    EXPECT_EQ(app.form1.Image1[0].width, 240);

    SendMessageW(d.applyButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(app.form1.Image1[0].width, 270);
    EXPECT_EQ(app.form1.Image1[119].height, 255);
    EXPECT_EQ(app.form1.width, 6 * 270 + 480);
    EXPECT_EQ(app.form1.height, 2 * 255 + 510);

    // The check box mirrors into the popup's entry.
    SendMessageW(d.moveCheck(), BM_CLICK, 0, 0);
    EXPECT_TRUE(app.form1.imove.checked);
    form2::setICheck(app, 0);
    host.render();
    EXPECT_EQ(SendMessageW(d.moveCheck(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The close box only hides; the values stay for the next opening.
    SendMessageW(d.window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(d.window()));
    EXPECT_TRUE(app.form1.op.enabled);
    op_Click(app);
    host.render();
    EXPECT_TRUE(IsWindowVisible(d.window()));
    EXPECT_EQ(SendMessageW(d.sliderW(), TBM_GETPOS, 0, 0), 270);
}

TEST_F(Win32Dialogs, IconDescriptionTypedWithinTwentyCharactersAndStoredByEnter) {
    sWrite_Click(app);
    host.render();
    DescriptionDialog& d = *host.descriptions;
    ASSERT_TRUE(IsWindowVisible(d.window()));
    EXPECT_EQ(textOf(d.window()), L"Quillop ");
    EXPECT_TRUE(IsWindowVisible(d.iconPanel()));
    EXPECT_FALSE(IsWindowVisible(d.pagePanel()));
    EXPECT_FALSE(IsWindowEnabled(host.mainWindow()));

    type(d.iconText(), L"エディタ editor 12345");  // 17 characters
    // An input method commits a word at once; only what fits is taken.
    SendMessageW(d.iconText(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"説明文字"));
    EXPECT_EQ(textOf(d.iconText()), L"エディタ editor 12345説明文");
    type(d.iconText(), L"x");
    EXPECT_EQ(textOf(d.iconText()), L"エディタ editor 12345説明文");

    type(d.iconText(), L"\r");
    EXPECT_EQ(app.form1.slotNote[5], "エディタ editor 12345説明文");
    EXPECT_FALSE(IsWindowVisible(d.window()));
    EXPECT_TRUE(IsWindowEnabled(host.mainWindow()));
}

TEST_F(Win32Dialogs, IconDescriptionLongerThanTheLimitFromTheFileIsShownAndKeptWhole) {
    // A description written by hand into the settings file may be longer than the box takes.
    app.form1.slotNote[5] = "twenty-five characters!!!";
    sWrite_Click(app);
    host.render();
    DescriptionDialog& d = *host.descriptions;
    EXPECT_EQ(textOf(d.iconText()), L"twenty-five characters!!!");
    // It may shrink, but not grow again.
    key(d.iconText(), VK_END);
    SendMessageW(d.iconText(), WM_CHAR, VK_BACK, 1);
    type(d.iconText(), L"xy");
    EXPECT_EQ(textOf(d.iconText()), L"twenty-five characters!!");
    SendMessageW(d.iconOk(), BM_CLICK, 0, 0);
    EXPECT_EQ(app.form1.slotNote[5], "twenty-five characters!!");

    // Unchanged, it is stored back whole.
    app.form1.slotNote[5] = "twenty-five characters!!!";
    sWrite_Click(app);
    host.render();
    SendMessageW(d.iconOk(), BM_CLICK, 0, 0);
    EXPECT_EQ(app.form1.slotNote[5], "twenty-five characters!!!");
}

TEST_F(Win32Dialogs, PageDescriptionTakesLongTextCancelAndCloseBoxKeepTheOldOne) {
    app.form1.VScroll1.value = 3;
    app.form1.pageNote[3] = "old";
    PSwrite_Click(app);
    host.render();
    DescriptionDialog& d = *host.descriptions;
    EXPECT_FALSE(IsWindowVisible(d.iconPanel()));
    EXPECT_TRUE(IsWindowVisible(d.pagePanel()));
    EXPECT_EQ(textOf(d.pageText()), L"old");

    SetWindowTextW(d.pageText(), L"");
    type(d.pageText(), L"a page description well past twenty characters");
    SendMessageW(d.pageCancel(), BM_CLICK, 0, 0);
    EXPECT_EQ(app.form1.pageNote[3], "old");
    EXPECT_TRUE(IsWindowEnabled(host.mainWindow()));

    PSwrite_Click(app);
    host.render();
    type(d.pageText(), L" 日本語");
    SendMessageW(d.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.form1.pageNote[3], "old");
    EXPECT_EQ(d.window(), nullptr);  // the close box unloads the form
    EXPECT_TRUE(IsWindowEnabled(host.mainWindow()));

    PSwrite_Click(app);
    host.render();
    ASSERT_NE(d.window(), nullptr);
    type(d.pageText(), L"ページ三 with a long text of more than twenty characters");
    SendMessageW(d.pageOk(), BM_CLICK, 0, 0);
    EXPECT_EQ(app.form1.pageNote[3], "ページ三 with a long text of more than twenty characters");
}

}  // namespace
