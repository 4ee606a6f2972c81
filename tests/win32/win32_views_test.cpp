// The pure pieces of the Windows views: the description box's character limit
// and where a window off every monitor goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/text_limit.h"
#include "platform/win32/window_placement.h"

namespace {

using qlp::win32::codePointCount;
using qlp::win32::fitToCharacterLimit;
using qlp::win32::LimitedText;
using qlp::win32::MonitorArea;
using qlp::win32::placeOnMonitors;

const std::wstring kEmoji = L"\U0001F600";  // one character, two UTF-16 units

TEST(Win32Text, CountsCharacters) {
    EXPECT_EQ(codePointCount(L""), 0u);
    EXPECT_EQ(codePointCount(L"abc"), 3u);
    EXPECT_EQ(codePointCount(L"説明" + kEmoji), 3u);
}

TEST(Win32Text, FitsAnEditIntoTheCharacterLimit) {
    const std::wstring twenty(20, L'あ');
    struct Case {
        const char* what;
        std::wstring text;
        std::size_t caret;
        std::size_t previous;
        LimitedText want;
    };
    const std::vector<Case> cases = {
        {"within the limit", L"abc", 3, 2, {L"abc", 3}},
        {"twenty Japanese characters fit", twenty, 20, 19, {twenty, 20}},
        {"the 21st typed character is refused", twenty + L"x", 21, 20, {twenty, 20}},
        {"typed in the middle: the inserted one goes", L"ああx" + std::wstring(18, L'あ'), 3, 20, {twenty, 2}},
        {"an input method's commit is cut to what fits",
         std::wstring(18, L'a') + L"説明文字",
         22,
         18,
         {std::wstring(18, L'a') + L"説明", 20}},
        {"a surrogate pair counts one and is never split",
         std::wstring(19, L'a') + kEmoji,
         21,
         19,
         {std::wstring(19, L'a') + kEmoji, 21}},
        {"a pair that does not fit goes whole", twenty + kEmoji, 22, 20, {twenty, 20}},
        {"a longer text set by the program may shrink", std::wstring(24, L'b'), 24, 25, {std::wstring(24, L'b'), 24}},
        {"... but not grow", std::wstring(26, L'b'), 26, 25, {std::wstring(25, L'b'), 25}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitToCharacterLimit(c.text, c.caret, 20, c.previous), c.want) << c.what;
    }
}

RECT r(LONG l, LONG t, LONG w, LONG h) { return RECT{l, t, l + w, t + h}; }

TEST(Win32Placement, PullsAWindowOffEveryMonitorOntoTheNearest) {
    // A 1280 x 1024 primary with a taskbar of 40 at the bottom, a second
    // monitor of 1920 x 1080 to its right.
    const MonitorArea primary{r(0, 0, 1280, 1024), r(0, 0, 1280, 984)};
    const MonitorArea second{r(1280, 0, 1920, 1080), r(1280, 0, 1920, 1080)};
    struct Case {
        const char* what;
        std::vector<MonitorArea> monitors;
        RECT frame;
        POINT want;
    };
    const std::vector<Case> cases = {
        {"on the primary: kept", {primary, second}, r(100, 200, 128, 66), {100, 200}},
        {"partly on a monitor: kept", {primary, second}, r(-100, -30, 128, 66), {-100, -30}},
        {"on the second: kept", {primary, second}, r(2000, 500, 128, 66), {2000, 500}},
        {"where the second was: onto the primary's right edge", {primary}, r(2000, 500, 128, 66), {1152, 500}},
        {"far below: above the taskbar", {primary, second}, r(300, 5000, 128, 66), {300, 918}},
        {"far left and up: the corner", {primary, second}, r(-3000, -3000, 128, 66), {0, 0}},
        {"right of the second: the second's edge", {primary, second}, r(4000, 100, 128, 66), {3072, 100}},
        {"larger than the work area: top-left corner inside", {primary}, r(-5000, 300, 2000, 1200), {0, 0}},
        {"no monitor known: unchanged", {}, r(-5000, 300, 128, 66), {-5000, 300}},
    };
    for (const Case& c : cases) {
        const POINT got = placeOnMonitors(c.frame, c.monitors);
        EXPECT_EQ(got.x, c.want.x) << c.what;
        EXPECT_EQ(got.y, c.want.y) << c.what;
    }
}

}  // namespace
