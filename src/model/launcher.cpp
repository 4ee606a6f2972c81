#include "model/launcher.h"

#include <algorithm>

namespace qlp {

namespace {

void place(Control& c, float left, float top, float width, float height) {
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
}

}  // namespace

Form1::Form1() {
    for (auto& frame : Frame) {
        frame.left = 120;
        frame.top = 120;
    }
    VScroll1.top = 120;
    VScroll1.width = 170;
    Label1.top = 130;
    Label1.width = 90;
    Label1.height = 150;
    txt_Ktext.left = 50;
    txt_Ktext.height = 200;
    Frame1.left = 0;
    Frame1.top = -100;
    // The registration panel sits below the area the window shows.
    place(Frame2, 0, 2000, 2000, 1200);
    place(Picture1, 120, 120, 540, 540);
    place(Picture2, 0, 840, 495, 255);
    Command1.caption = "実行";
    Command2.caption = "参照";
    for (int i = 0; i < kSlotCount; ++i) Image1[i].visible = true;
}

Form2::Form2() {
    Frame1.caption = "ｱｲｺﾝのｻｲｽﾞ";
    place(Frame1, 0, 0, 1215, 1695);
    place(SliderW, 360, 240, 600, 255);
    place(SliderH, 120, 480, 255, 600);
    place(sample_img, 360, 480, 240, 240);
    // WORKAROUND: GCC 12 at -O3 warns falsely (-Wrestrict, its bug 105329) on a
    // one-character string literal assigned to a std::string; a char is the same text.
    Label1.caption = ' ';
    place(Label1, 120, 1080, 975, 255);
    iconsize.caption = "変更";
    place(iconsize, 120, 1320, 975, 300);
    iCheck.caption = "アイコンの移動をする";
    place(iCheck, 0, 1800, 1215, 375);
}

Form3::Form3() {
    auto set = [](Control& c, float l, float t, float w, float h, int tab) {
        place(c, l, t, w, h);
        c.tabIndex = tab;
    };
    set(Frame1, 0, 0, 2655, 1335, 3);
    Label1.caption = "このｱｲｺﾝの説明";
    set(Label1, 120, 120, 2175, 375, 4);
    set(Text1, 120, 360, 2415, 270, 0);
    Text1.maxLength = 20;
    Command1.caption = "OK";
    set(Command1, 960, 720, 735, 375, 1);
    Command2.caption = "Cancel";
    set(Command2, 1800, 720, 735, 375, 2);
    set(Frame2, 0, 0, 2655, 1335, 5);
    Label2.caption = "このページの説明";
    set(Label2, 120, 120, 2175, 375, 9);
    set(Text2, 120, 360, 2415, 270, 6);
    Command3.caption = "OK";
    set(Command3, 960, 720, 735, 375, 7);
    Command4.caption = "Cancel";
    set(Command4, 1800, 720, 735, 375, 8);
}

MenuEntry& menuEntry(Form1& f, MenuId id) {
    switch (id) {
        case MenuId::Nnnnn: return f.Nnnnn;
        case MenuId::Hkai: return f.Hkai;
        case MenuId::DELS: return f.DELS;
        case MenuId::Ksw: return f.Ksw;
        case MenuId::h0: return f.h0;
        case MenuId::Ktext: return f.Ktext;
        case MenuId::sWrite: return f.sWrite;
        case MenuId::PSwrite: return f.PSwrite;
        case MenuId::h2: return f.h2;
        case MenuId::ALH: return f.ALH;
        case MenuId::imove: return f.imove;
        case MenuId::SKchk: return f.SKchk;
        case MenuId::h1: return f.h1;
        case MenuId::op: return f.op;
        case MenuId::mn_load: return f.mn_load;
        case MenuId::mn_save: return f.mn_save;
        case MenuId::ends: return f.ends;
        case MenuId::ends2: return f.ends2;
    }
    return f.Nnnnn;
}

const MenuEntry& menuEntry(const Form1& f, MenuId id) {
    return menuEntry(const_cast<Form1&>(f), id);
}

bool isSlotEmpty(const Form1& f, int slot) { return f.slotPath[slot].empty(); }

std::optional<int> firstFreeSlot(const Form1& f) {
    for (int i = 0; i < kSlotCount; ++i) {
        if (isSlotEmpty(f, i)) return i;
    }
    return std::nullopt;
}

int blockOfPage(int page) {
    if (page == 2) return 3;
    if (page == 3) return 2;
    return page;
}

int pageOfSlot(int slot) { return blockOfPage(slot / kSlotsPerPage); }

int functionKeySlot(int page, int n) { return kSlotsPerPage * page + (n - 1); }

std::string slotToolTip(const Form1& f, int slot) {
    return f.slotNote[slot].empty() ? f.slotPath[slot] : f.slotNote[slot];
}

void bringFrameToFront(Form1& f, int page) { f.Frame[page].zOrder = ++f.frameZTop; }

int frontFrame(const Form1& f) {
    const auto it = std::max_element(f.Frame.begin(), f.Frame.end(),
                                     [](const Control& a, const Control& b) { return a.zOrder < b.zOrder; });
    return static_cast<int>(it - f.Frame.begin());
}

std::string paddedTitle(const std::string& text) {
    std::string field = text.substr(0, kTitleLength);
    field.resize(kTitleLength, ' ');
    return field;
}

}  // namespace qlp
