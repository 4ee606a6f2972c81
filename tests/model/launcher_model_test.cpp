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
