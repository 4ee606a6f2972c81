#pragma once
// The forms of values in the settings file: numbers as decimal text, the
// marker of an absent value, and the on/off switches.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qlp::settings {

// What the reader asks for when a key may be missing; deleting a slot writes it too.
inline constexpr std::string_view kAbsentMarker = "NL";

// A text or number value is absent when empty or exactly the marker (any case).
// Text merely beginning with "NL" is data.
bool isAbsent(std::string_view value);

enum class SwitchValue { Absent, Off, On };
// Absent when exactly the marker; off when beginning with "FALS" or "NL";
// every other value, the empty one included, is on.
SwitchValue readSwitch(std::string_view value);

// A decimal number rounded half to even; nullopt for a text that is no
// number or a number outside the integer's range.
std::optional<std::int16_t> readInt16(std::string_view value);
std::optional<std::int32_t> readInt32(std::string_view value);

// A single-precision number as decimal text: whole numbers without a point.
std::string writeSingle(float value);
std::string writeBool(bool value);

}  // namespace qlp::settings
