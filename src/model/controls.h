#pragma once
// The controls of the three windows as the handlers see them: plain data with
// exactly the properties that handlers set and read back. Lengths are twips.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qlp {

// A picture: pixels as 0xAARRGGBB, row by row from the top.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool operator==(const Bitmap&) const = default;
};

// A picture object. Shared and immutable, so a slot that takes a picture keeps
// it whatever is drawn later, and a move hands the same object on.
using Picture = std::shared_ptr<const Bitmap>;

struct Control {
    std::string caption;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool visible = true;
    bool enabled = true;
    std::string toolTip;
    Picture picture;
    // Stacking order among siblings: the highest value is in front.
    int zOrder = 0;
    int tabIndex = 0;
};

struct ScrollBar : Control {
    int value = 0;
    int min = 0;
    int max = 9;
};

struct Slider : Control {
    std::int32_t value = 135;
    std::int32_t min = 135;
    std::int32_t max = 490;
    std::int32_t smallChange = 1;
    std::int32_t largeChange = 1;
};

struct CheckBox : Control {
    int value = 0;  // 1 = checked
};

struct TextBox : Control {
    std::string text;
    int maxLength = 0;  // characters; 0 = no limit
};

// A picture box with a persistent off-screen image that drawing goes into.
struct Surface : Control {
    Bitmap image;
    std::uint32_t backColor = 0xFFF0F0F0u;
    // Bumped by a refresh, so the view knows to repaint from `image`.
    unsigned refreshes = 0;
};

struct MenuEntry {
    std::string caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;

    bool isSeparator() const { return caption == "-"; }
};

}  // namespace qlp
