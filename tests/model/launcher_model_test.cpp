#include <gtest/gtest.h>

#include "model/launcher.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

TEST(SlotModel, PageTableSwapsBlocksTwoAndThree) {
    const struct {
        int page;
        int firstSlot;
    } cases[] = {{0, 0}, {1, 12}, {2, 36}, {3, 24}, {4, 48}, {9, 108}};
    for (const auto& c : cases) {
        EXPECT_EQ(blockOfPage(c.page) * kSlotsPerPage, c.firstSlot) << "page " << c.page;
        for (int k = 0; k < kSlotsPerPage; ++k) EXPECT_EQ(pageOfSlot(c.firstSlot + k), c.page);
    }
}

}  // namespace
}  // namespace qlp

namespace qlp {
namespace {

TEST(SlotModel, FunctionKeysLaunchTheBlockNumberedAsThePage) {
    const struct {
        int page;
        int key;
        int slot;
    } cases[] = {{0, 1, 0}, {0, 12, 11}, {2, 1, 24}, {2, 12, 35}, {3, 1, 36}, {3, 12, 47}, {9, 1, 108}, {9, 12, 119}};
    for (const auto& c : cases) EXPECT_EQ(functionKeySlot(c.page, c.key), c.slot) << "page " << c.page << " F" << c.key;
}

TEST(SlotModel, FirstFreeSlotScansInIndexOrder) {
    test::FakePlatform fake;
    Launcher app(fake);
    Form1& f = app.form1;
    EXPECT_EQ(firstFreeSlot(f), 0);
    f.slotPath[0] = "/bin/true";
    EXPECT_EQ(firstFreeSlot(f), 1);
    for (int i = 0; i < 119; ++i) f.slotPath[i] = "/x" + std::to_string(i);
    EXPECT_EQ(firstFreeSlot(f), 119);
    f.slotPath[119] = "/last";
    EXPECT_EQ(firstFreeSlot(f), std::nullopt);
    // Element 120 belongs to no slot, so it never counts as free.
    EXPECT_TRUE(f.slotPath[120].empty());
    f.slotPath[30] = "";
    EXPECT_EQ(firstFreeSlot(f), 30);
}

TEST(SlotModel, InitialStateOfTheWindow) {
    test::FakePlatform fake;
    Launcher app(fake);
    const Form1& f = app.form1;
    EXPECT_TRUE(f.SKchk.checked);
    EXPECT_FALSE(f.ALH.checked);
    EXPECT_EQ(f.dropSlot, 0);
    EXPECT_EQ(f.menuSlot, 0);
    EXPECT_EQ(f.hoverSlot, 0);
    EXPECT_EQ(f.lastFlipTime, 0.0f);
    EXPECT_EQ(f.VScroll1.value, 0);
    EXPECT_EQ(f.VScroll1.max, 9);
    EXPECT_EQ(f.caption, "Qlp");
    std::vector<std::string> captions;
    for (MenuId id : kPpmOrder) captions.push_back(menuEntry(f, id).caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"何もしない", "開く", "削除", "関連付けで開く", "-", "解説テキストの表示",
                                                  "アイコンの説明を書く", "ページの説明を書く", "-", "常に手前に表示",
                                                  "アイコンの移動をする", "好きなところに格納", "-", "オプション", "設定読込",
                                                  "設定保存", "終了"}));
    EXPECT_EQ(menuEntry(f, MenuId::ends2).caption, "終了");
}

}  // namespace
}  // namespace qlp
