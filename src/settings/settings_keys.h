#pragma once
// The one table of the settings keys, walked by both the save and the load:
// each key with its section, the text the save writes and what the load does
// with a value it finds.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/launcher.h"

namespace qlp::settings {

inline constexpr std::string_view kDataSection = "DATA";
inline constexpr std::string_view kOptionSection = "Option";

// A key per slot or per page: a prefix followed by the index in decimal.
struct IndexedKey {
    std::string_view writeName;
    // The same key, as the reader has always spelled it.
    std::string_view readName;
    std::string (*save)(const Form1& f, int index);
    // Called with a value that is present.
    void (*load)(Launcher& app, int index, std::string_view value);
};

enum class Reading {
    Text,    // absent when empty or the marker
    Switch,  // absent only when the marker; the load tells on from off
};

struct OptionKey {
    std::string_view name;
    Reading reading;
    std::string (*save)(const Launcher& app);
    void (*load)(Launcher& app, std::string_view value);
    // What an absent value does; nullptr leaves the state as it is.
    void (*absent)(Launcher& app);
};

// In the order the save writes and the load reads them.
extern const std::array<IndexedKey, 3> kSlotKeys;
// The slot key that holds the slot's path, one of kSlotKeys.
extern const IndexedKey& kSlotPathKey;
extern const IndexedKey kPageKey;
extern const std::array<OptionKey, 8> kOptionKeys;

// The option that holds the page shown, and the page a value of it names by
// the load's rule (nullopt: none, the page is left as it is).
inline constexpr std::string_view kPageOption = "Page";
std::optional<int> pageNamedBy(std::string_view value);

// The icon size the sliders take when the file names none.
inline constexpr std::int32_t kDefaultIconSize = 240;
// A window edge beyond this is not taken from the file.
inline constexpr std::int16_t kMaxWindowEdge = 24999;

}  // namespace qlp::settings
