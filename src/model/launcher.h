#pragma once
// All state of the launcher: the main window Form1 with the slot table, the
// options dialog Form2 and the description dialog Form3.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/controls.h"

namespace qlp {

class PlatformOps;

inline constexpr int kSlotCount = 120;      // slots 0..119 exist
inline constexpr int kSlotArraySize = 121;  // element 120 belongs to no slot
inline constexpr int kPageCount = 10;
inline constexpr int kPageArraySize = 11;  // element 10 belongs to no page
inline constexpr int kSlotsPerPage = 12;
inline constexpr int kLastPage = 9;
inline constexpr int kTitleLength = 20;

inline constexpr const char* kTitle = "Quillop Ver3.5";

// Window handles as the core names them; the realisation knows what they mean.
using HWND = std::intptr_t;
inline constexpr HWND kForm1Window = 1;
inline constexpr HWND kTaskPictureWindow = 2;

enum class WindowState { Normal, Minimized, Maximized };
enum class Focus { None, Text2, VScroll1, Form2, Form3, Form3Text1, Form3Text2 };

// Entries of the slot popup `ppm` and of the tray menu `Tcom`.
enum class MenuId {
    Nnnnn, Hkai, DELS, Ksw, h0, Ktext, sWrite, PSwrite, h2,
    ALH, imove, SKchk, h1, op, mn_load, mn_save, ends,
    ends2,
};

inline constexpr std::array<MenuId, 17> kPpmOrder = {
    MenuId::Nnnnn, MenuId::Hkai,    MenuId::DELS,  MenuId::Ksw,    MenuId::h0,      MenuId::Ktext,
    MenuId::sWrite, MenuId::PSwrite, MenuId::h2,   MenuId::ALH,    MenuId::imove,   MenuId::SKchk,
    MenuId::h1,    MenuId::op,      MenuId::mn_load, MenuId::mn_save, MenuId::ends,
};
inline constexpr std::array<MenuId, 1> kTcomOrder = {MenuId::ends2};

enum class PopupMenuName { ppm, Tcom };

struct Form1 {
    std::string caption = "Qlp";
    // Outer frame of the window on the screen.
    float left = 1440;
    float top = 1440;
    float width = 0;
    float height = 0;
    bool visible = false;
    bool enabled = true;
    WindowState windowState = WindowState::Normal;
    Focus focus = Focus::None;

    // The slot table and the page descriptions.
    std::array<std::string, kSlotArraySize> slotPath;
    std::array<std::string, kSlotArraySize> slotNote;
    std::array<std::int16_t, kSlotArraySize> slotExeType{};
    std::array<std::string, kPageArraySize> pageNote;

    std::int16_t dropSlot = 0;
    std::int16_t menuSlot = 0;
    std::int32_t hoverSlot = 0;
    float lastFlipTime = 0;
    std::string winDir;
    std::string titleText;

    // Controls.
    std::array<Control, kSlotCount> Image1;
    std::array<Control, kPageCount> Frame;
    ScrollBar VScroll1;
    Control Label1;
    Control txt_Ktext;
    Control Frame1;
    TextBox Text2;
    // The registration panel, which lies below the part of the window shown.
    Control Frame2;
    Control Command1;
    Control Command2;
    Control Command3;
    Control Command4;
    Control Command6;
    TextBox Text1;
    Surface Picture1;
    Surface Picture2;
    // The scratch dialog's last chosen file, offered again next time.
    std::string CommonDialog1_FileName;

    // Notification-area icon: which picture is shown, and its tip.
    bool trayIconPresent = false;

    // Slot popup entries.
    MenuEntry Nnnnn{"何もしない"};
    MenuEntry Hkai{"開く"};
    MenuEntry DELS{"削除"};
    MenuEntry Ksw{"関連付けで開く"};
    MenuEntry h0{"-"};
    MenuEntry Ktext{"解説テキストの表示", true};
    MenuEntry sWrite{"アイコンの説明を書く"};
    MenuEntry PSwrite{"ページの説明を書く"};
    MenuEntry h2{"-"};
    MenuEntry ALH{"常に手前に表示"};
    MenuEntry imove{"アイコンの移動をする"};
    MenuEntry SKchk{"好きなところに格納", true};
    MenuEntry h1{"-"};
    MenuEntry op{"オプション"};
    MenuEntry mn_load{"設定読込"};
    MenuEntry mn_save{"設定保存"};
    MenuEntry ends{"終了"};
    // Tray menu `Tcom` ("TaskCommand").
    MenuEntry ends2{"終了"};

    // Highest stacking value handed out to a page frame so far.
    int frameZTop = 0;

    Form1();
};

struct Form2 {
    bool loaded = false;
    bool visible = false;
    std::string caption = "Qlp Option";
    float left = 0;
    float top = 0;
    float clientWidth = 1245;
    float clientHeight = 2235;
    std::int32_t MAXQLP = 0;

    Control Frame1;
    Slider SliderW;
    Slider SliderH;
    Control sample_img;
    Control Label1;
    Control iconsize;
    CheckBox iCheck;

    Form2();
};

struct Form3 {
    bool loaded = false;
    bool visible = false;
    std::string caption = "Quillop ";
    float clientWidth = 2580;
    float clientHeight = 1140;

    Control Frame1;
    Control Label1;
    TextBox Text1;
    Control Command1;
    Control Command2;
    Control Frame2;
    Control Label2;
    TextBox Text2;
    Control Command3;
    Control Command4;

    Form3();
};

// One launcher: the three windows and the platform they run on.
struct Launcher {
    explicit Launcher(PlatformOps& platform) : ops(platform) {}

    Form1 form1;
    Form2 form2;
    Form3 form3;
    PlatformOps& ops;
    // Set once the process has been told to end; the view then takes no more events.
    bool ended = false;
    // When set, the start-up load gives only the front page's slots their
    // pictures (saved or drawn) at once and leaves the others in
    // pendingIcons, for drawPendingIcons once the window is on the screen; a
    // view that sets it gives them theirs before any other handler runs.
    bool deferOffPageIcons = false;
    // Filled slots whose picture is still to be loaded or drawn, in slot order.
    std::vector<int> pendingIcons;
};

MenuEntry& menuEntry(Form1& f, MenuId id);
const MenuEntry& menuEntry(const Form1& f, MenuId id);

// Slot table operations.
// Whether an index names one of the 120 slots (after a scan, dropSlot may not).
inline bool isSlotIndex(int slot) { return slot >= 0 && slot < kSlotCount; }
bool isSlotEmpty(const Form1& f, int slot);
// First empty slot in index order, or nullopt when all 120 are filled.
std::optional<int> firstFreeSlot(const Form1& f);
// The page frame that shows a slot (blocks 2 and 3 are shown on pages 3 and 2).
int pageOfSlot(int slot);
// The block of twelve slots that page `page` shows.
int blockOfPage(int page);
// Slot launched by function key Fn (n = 1..12) on page `page`.
int functionKeySlot(int page, int n);
// Tool tip rule: the description when there is one, else the path.
std::string slotToolTip(const Form1& f, int slot);

// The stacking-order step: bring a page frame to the front.
void bringFrameToFront(Form1& f, int page);
// The page frame in front.
int frontFrame(const Form1& f);

// "Quillop Ver3.5" left-aligned in a field of 20 characters.
std::string paddedTitle(const std::string& text);

}  // namespace qlp
