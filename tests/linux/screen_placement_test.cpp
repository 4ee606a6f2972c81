#include "platform/linux/views/screen_placement.h"

#include <gtest/gtest.h>

namespace qlp::linux_desktop {
namespace {

TEST(ScreenPlacement, AWindowOffEveryScreenIsBroughtOntoThePrimary) {
    const std::vector<ScreenRect> two = {{1920, 0, 1280, 1024}, {0, 0, 1920, 1080}};  // primary is the second
    const struct {
        const char* name;
        ScreenRect frame;
        ScreenPoint placed;
    } cases[] = {
        {"on the primary", {100, 100, 400, 300}, {100, 100}},
        {"on the other screen", {2000, 500, 400, 300}, {2000, 500}},
        {"partly off but overlapping", {-350, -250, 400, 300}, {-350, -250}},
        {"right of everything", {3500, 200, 400, 300}, {1520, 200}},
        {"above everything", {500, -2000, 400, 300}, {500, 0}},
        {"left and below", {-5000, 4000, 400, 300}, {0, 780}},
        {"just past the edge", {3200, 0, 400, 300}, {1520, 0}},
        {"larger than the screen", {-3000, -3000, 2500, 1500}, {0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(placeOnScreens(c.frame, two, 1), c.placed) << c.name;
    EXPECT_EQ(placeOnScreens({5000, 5000, 10, 10}, {}, 0), (ScreenPoint{5000, 5000})) << "no screens known";
}

}  // namespace
}  // namespace qlp::linux_desktop
