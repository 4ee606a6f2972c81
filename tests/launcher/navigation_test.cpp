#include "launcher/navigation.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

class NavigationTest : public ::testing::Test {
protected:
    FakePlatform fake;
    Launcher app{fake};
    Form1& f = app.form1;

    // Every slot filled and started directly, so a launch shows as Shell("/slot/N").
    void fillAllSlots() {
        for (int i = 0; i < kSlotCount; ++i) {
            f.slotPath[i] = "/slot/" + std::to_string(i);
            f.slotExeType[i] = 1;
        }
    }
    std::vector<std::string> launched() const {
        std::vector<std::string> out;
        for (const Call& c : fake.callsNamed("Shell")) out.push_back(c.args.at(0));
        return out;
    }
};

// --- page-change step ---------------------------------------------------------

TEST_F(NavigationTest, PageChangeSetsLabelFrameAndPageDescription) {
    f.pageNote[5] = "page five";
    f.txt_Ktext.caption = "old";
    f.hoverSlot = 7;
    setPage(app, 5);
    EXPECT_EQ(f.Label1.caption, "5");
    EXPECT_EQ(frontFrame(f), 5);
    EXPECT_EQ(f.txt_Ktext.caption, "page five");
    EXPECT_EQ(f.hoverSlot, 7);
    setPage(app, 0);
    EXPECT_EQ(f.Label1.caption, "0");
    EXPECT_EQ(frontFrame(f), 0);
    EXPECT_EQ(f.txt_Ktext.caption, "");
}

// --- key map ----------------------------------------------------------------

// What a key code does, by the ranges of the key map.
struct KeyEffect {
    bool handled = false;
    int page = -1;    // page selected, -1 = none
    int launch = -1;  // slot launched, -1 = none
};

KeyEffect expectedEffect(int code, int page) {
    if (code >= 112 && code <= 123) return {true, -1, 12 * page + (code - 112)};
    if (code >= 48 && code <= 57) return {true, code - 48, -1};
    if (code >= 65 && code <= 74) return {true, code - 65, -1};
    if (code >= 75 && code <= 84) return {true, code - 75, -1};
    if (code >= 85 && code <= 94) return {true, code - 85, -1};
    return {};
}

TEST_F(NavigationTest, KeyMapOverEveryCodeWithAndWithoutShift) {
    fillAllSlots();
    constexpr int kStartPage = 3;
    for (int shift : {0, 1, 2, 3, 4, 7}) {
        for (int code = 0; code <= 255; ++code) {
            SCOPED_TRACE("code " + std::to_string(code) + " shift " + std::to_string(shift));
            setPage(app, kStartPage);
            fake.calls.clear();
            const KeyEffect want = expectedEffect(code, kStartPage);
            EXPECT_EQ(VScroll1_KeyDown(app, code, shift), want.handled);
            EXPECT_EQ(f.VScroll1.value, want.page >= 0 ? want.page : kStartPage);
            if (want.launch >= 0) {
                EXPECT_EQ(launched(), std::vector<std::string>{"/slot/" + std::to_string(want.launch)});
            } else {
                EXPECT_TRUE(fake.calls.empty());
            }
        }
    }
}

TEST_F(NavigationTest, NamedKeysSelectTheirPages) {
    const struct {
        char key;
        int page;
    } cases[] = {{'0', 0}, {'1', 1}, {'5', 5}, {'9', 9}, {'A', 0}, {'K', 0},
                 {'U', 0}, {'J', 9}, {'T', 9}, {'E', 4}, {'Z', 5}, {'\x5E', 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("key ") + c.key);
        setPage(app, c.page == 7 ? 6 : 7);
        f.pageNote[c.page] = "note of " + std::to_string(c.page);
        EXPECT_TRUE(VScroll1_KeyDown(app, c.key, 0));
        EXPECT_EQ(f.VScroll1.value, c.page);
        EXPECT_EQ(f.Label1.caption, std::to_string(c.page));
        EXPECT_EQ(f.txt_Ktext.caption, "note of " + std::to_string(c.page));
    }
}

TEST_F(NavigationTest, FunctionKeysLaunchTheBlockNumberedLikeThePage) {
    fillAllSlots();
    const struct {
        int page;
        int f1Slot;
        int f12Slot;
    } cases[] = {{0, 0, 11}, {2, 24, 35}, {3, 36, 47}, {9, 108, 119}};
    for (const auto& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.page));
        setPage(app, c.page);
        fake.calls.clear();
        VScroll1_KeyDown(app, 112, 0);
        VScroll1_KeyDown(app, 123, 1);
        EXPECT_EQ(launched(), (std::vector<std::string>{"/slot/" + std::to_string(c.f1Slot),
                                                        "/slot/" + std::to_string(c.f12Slot)}));
        EXPECT_EQ(f.VScroll1.value, c.page);
    }
}

// --- drag-over page turning -------------------------------------------------

constexpr float kLower = 1000;  // well below the upper zone
constexpr float kUpper = 100;

TEST_F(NavigationTest, DragOverTurnsAtMostOncePerInterval) {
    fake.timer = 36000.0f;
    VScroll1_DragOver(app, 0, kLower, 2);
    EXPECT_EQ(f.VScroll1.value, 1);
    EXPECT_EQ(f.lastFlipTime, 36000.0f);
    fake.timer = 36000.5f;
    VScroll1_DragOver(app, 0, kLower, 2);
    EXPECT_EQ(f.VScroll1.value, 1);
    EXPECT_EQ(f.lastFlipTime, 36000.0f);
    fake.timer = 36000.75f;  // exactly one interval later: due
    VScroll1_DragOver(app, 0, kLower, 2);
    EXPECT_EQ(f.VScroll1.value, 2);
    EXPECT_EQ(f.lastFlipTime, 36000.75f);
}

TEST_F(NavigationTest, DragOverStopsAtTheLastAndFirstPage) {
    setPage(app, 8);
    fake.timer = 100;
    VScroll1_DragOver(app, 0, kLower, 0);
    EXPECT_EQ(f.VScroll1.value, 9);
    fake.timer = 200;
    VScroll1_DragOver(app, 0, kLower, 2);
    EXPECT_EQ(f.VScroll1.value, 9);
    EXPECT_EQ(f.lastFlipTime, 100.0f);

    setPage(app, 0);
    fake.timer = 300;
    VScroll1_DragOver(app, 0, kUpper, 2);
    EXPECT_EQ(f.VScroll1.value, 0);
    EXPECT_EQ(f.lastFlipTime, 100.0f);
}

TEST_F(NavigationTest, UpperZoneIsTheTop200Twips) {
    const struct {
        float y;
        int page;
    } cases[] = {{0, 4}, {200, 4}, {200.5f, 6}, {5000, 6}};
    float now = 1000;
    for (const auto& c : cases) {
        SCOPED_TRACE("y " + std::to_string(c.y));
        setPage(app, 5);
        now += 10;
        fake.timer = now;
        VScroll1_DragOver(app, 0, c.y, 2);
        EXPECT_EQ(f.VScroll1.value, c.page);
        EXPECT_EQ(f.Label1.caption, std::to_string(c.page));
    }
}

TEST_F(NavigationTest, DragOverAfterMidnightIsDue) {
    // Turned just before midnight; the next events come just after it.
    fake.timer = 86399.8f;
    VScroll1_DragOver(app, 0, kLower, 2);
    ASSERT_EQ(f.VScroll1.value, 1);
    fake.timer = 0.2f;
    VScroll1_DragOver(app, 0, kLower, 2);
    EXPECT_EQ(f.VScroll1.value, 2);
    EXPECT_EQ(f.lastFlipTime, 0.2f);
    // The new day's interval holds as usual.
    fake.timer = 0.5f;
    VScroll1_DragOver(app, 0, kLower, 2);
    EXPECT_EQ(f.VScroll1.value, 2);
}

// --- hover text ---------------------------------------------------------------

TEST_F(NavigationTest, FirstMoveOntoSlotZeroAfterStartUpChangesNothing) {
    f.slotNote[0] = "slot zero";
    f.pageNote[0] = "page zero";
    f.txt_Ktext.caption = "as at start";
    Image1_MouseMove(app, 0, 0, 0, 10, 10);
    EXPECT_EQ(f.txt_Ktext.caption, "as at start");
    Image1_MouseMove(app, 1, 0, 0, 10, 10);
    EXPECT_EQ(f.txt_Ktext.caption, "page zero");
    EXPECT_EQ(f.hoverSlot, 1);
    Image1_MouseMove(app, 0, 0, 0, 10, 10);
    EXPECT_EQ(f.txt_Ktext.caption, "slot zero");
    EXPECT_EQ(f.hoverSlot, 0);
}

TEST_F(NavigationTest, HoverAfterPageChangeNeedsAnotherSlotFirst) {
    f.slotNote[5] = "five";
    f.pageNote[0] = "page zero";
    f.pageNote[1] = "page one";
    Image1_MouseMove(app, 5, 0, 0, 0, 0);
    EXPECT_EQ(f.txt_Ktext.caption, "five");
    setPage(app, 1);
    EXPECT_EQ(f.txt_Ktext.caption, "page one");
    setPage(app, 0);
    EXPECT_EQ(f.txt_Ktext.caption, "page zero");
    Image1_MouseMove(app, 5, 0, 0, 0, 0);
    EXPECT_EQ(f.txt_Ktext.caption, "page zero");
    Image1_MouseMove(app, 6, 0, 0, 0, 0);
    Image1_MouseMove(app, 5, 0, 0, 0, 0);
    EXPECT_EQ(f.txt_Ktext.caption, "five");
}

TEST_F(NavigationTest, SlotWithoutDescriptionShowsTheCurrentPagesDescription) {
    f.pageNote[2] = "page two";
    f.pageNote[3] = "page three";
    setPage(app, 2);
    Image1_MouseMove(app, 36, 0, 0, 0, 0);  // block 3 is on page 2
    EXPECT_EQ(f.txt_Ktext.caption, "page two");
}

TEST_F(NavigationTest, DescriptionWrittenMeanwhileShowsAfterMovingAwayAndBack) {
    Image1_MouseMove(app, 3, 0, 0, 0, 0);
    f.slotNote[3] = "new";
    Image1_MouseMove(app, 3, 0, 0, 0, 0);
    EXPECT_EQ(f.txt_Ktext.caption, "");
    Image1_MouseMove(app, 4, 0, 0, 0, 0);
    Image1_MouseMove(app, 3, 0, 0, 0, 0);
    EXPECT_EQ(f.txt_Ktext.caption, "new");
}

}  // namespace
}  // namespace qlp
