#include "settings/settings_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qlp::settings {
namespace {

TEST(SettingsValues, SingleNumbersAreWrittenWithAPointOnlyWhenFractional) {
    const struct {
        float value;
        const char* text;
    } cases[] = {{1500, "1500"},      {-120, "-120"},  {240, "240"},           {0, "0"},
                 {1234.5f, "1234.5"}, {0.25f, "0.25"}, {16777216, "16777216"}, {-24999, "-24999"}};
    for (const auto& c : cases) {
        EXPECT_EQ(writeSingle(c.value), c.text);
        EXPECT_EQ(readInt32(writeSingle(c.value)), static_cast<std::int32_t>(std::nearbyint(c.value))) << c.text;
    }
}

TEST(SettingsValues, ThirtyTwoBitRangeIsKept) {
    EXPECT_EQ(readInt32("2147483647"), 2147483647);
    EXPECT_EQ(readInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readInt32("2147483647.5"), std::nullopt);
    EXPECT_EQ(readInt32("40000"), 40000);
    EXPECT_EQ(readInt16("40000"), std::nullopt);
}

}  // namespace
}  // namespace qlp::settings
