#include "settings/settings_values.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "model/text.h"

namespace qlp::settings {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<double> readRounded(std::string_view value) {
    value = trimBlanks(value);
    if (value.size() > 1 && value.front() == '+' && value[1] != '-') value.remove_prefix(1);
    double number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || !std::isfinite(number)) {
        return std::nullopt;
    }
    const double below = std::floor(number);
    const double rest = number - below;
    if (rest < 0.5) return below;
    if (rest > 0.5) return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

template <typename Int>
std::optional<Int> readInteger(std::string_view value) {
    const auto rounded = readRounded(value);
    if (!rounded || *rounded < std::numeric_limits<Int>::min() || *rounded > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return static_cast<Int>(*rounded);
}

}  // namespace

bool isAbsent(std::string_view value) { return value.empty() || sameText(value, kAbsentMarker); }

SwitchValue readSwitch(std::string_view value) {
    if (sameText(value, kAbsentMarker)) return SwitchValue::Absent;
    if (startsWithText(value, "FALS") || startsWithText(value, kAbsentMarker)) return SwitchValue::Off;
    return SwitchValue::On;
}

std::optional<std::int16_t> readInt16(std::string_view value) { return readInteger<std::int16_t>(value); }
std::optional<std::int32_t> readInt32(std::string_view value) { return readInteger<std::int32_t>(value); }

std::string writeSingle(float value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

std::string writeBool(bool value) { return value ? "True" : "False"; }

}  // namespace qlp::settings
