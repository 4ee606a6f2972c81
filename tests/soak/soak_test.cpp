// Drives the launcher through a long random run against real files, with a
// model of what the settings file holds. After every save a fresh launcher
// starts on those files and must come up exactly as the file's rules say;
// after every step the slot table keeps its invariants.
//   QUILLOP_SOAK_SEED=n   replays the run of seed n
//   QUILLOP_SOAK_STEPS=n  the number of steps (20000)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "descriptions/descriptions.h"
#include "launcher/launch.h"
#include "launcher/navigation.h"
#include "menu/menu.h"
#include "options/options.h"
#include "settings/settings_io.h"
#include "settings/settings_values.h"
#include "slots/editing.h"
#include "slots/icon_picture.h"
#include "slots/registration.h"
#include "support/real_files_platform.h"
#include "window/window.h"

namespace qlp {
namespace {

using test::RealFilesPlatform;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// What the settings file holds, key by key, kept by the rules of the format
// from what the launcher writes; and which picture files exist.
class FileModel {
public:
    // A value with a line break or a NUL can't be a line of the file: the key keeps what it held.
    void write(const std::string& section, const std::string& key, const std::string& value) {
        if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return;
        values_[lower(section) + "\n" + lower(key)] = value;
    }
    // As the reader gets it: blanks around it dropped; nullopt when the key is missing.
    std::optional<std::string> read(const std::string& section, const std::string& key) const {
        const auto it = values_.find(lower(section) + "\n" + lower(key));
        if (it == values_.end()) return std::nullopt;
        return std::string(trimBlanks(it->second));
    }
    // Present for the text keys: neither missing, empty nor the marker.
    std::optional<std::string> text(const std::string& key, const std::string& section = "DATA") const {
        auto v = read(section, key);
        if (!v || v->empty() || lower(*v) == "nl") return std::nullopt;
        return v;
    }

    std::map<int, Bitmap> pictures;

private:
    std::map<std::string, std::string> values_;
};

std::string indexed(const char* prefix, int i) { return prefix + std::to_string(i); }

void writeSlot(FileModel& file, const Form1& f, int i) {
    file.write("DATA", indexed("TEXT", i), f.slotPath[i]);
    file.write("DATA", indexed("SETUMEI", i), f.slotNote[i]);
    file.write("DATA", indexed("exetype", i), std::to_string(f.slotExeType[i]));
    if (f.Image1[i].picture) file.pictures[i] = *f.Image1[i].picture;
}

void markDeleted(FileModel& file, int i) {
    for (const char* prefix : {"TEXT", "SETUMEI", "exetype"}) file.write("DATA", indexed(prefix, i), "NL");
    file.pictures.erase(i);
}

void modelSave(FileModel& file, const Launcher& app) {
    const Form1& f = app.form1;
    for (int i = 0; i < kSlotCount; ++i) {
        if (!f.slotPath[i].empty()) writeSlot(file, f, i);
    }
    for (int p = 0; p < kPageCount; ++p) file.write("DATA", indexed("PSetumei", p), f.pageNote[p]);
    const auto truth = [](bool b) { return std::string(b ? "True" : "False"); };
    file.write("Option", "SUKIchk", truth(f.SKchk.checked));
    file.write("Option", "ALLWAYS", truth(f.ALH.checked));
    file.write("Option", "top", settings::writeSingle(f.top));
    file.write("Option", "left", settings::writeSingle(f.left));
    file.write("Option", "Page", std::to_string(f.VScroll1.value));
    file.write("Option", "SizeX", settings::writeSingle(f.Image1[0].height));
    file.write("Option", "SizeY", settings::writeSingle(f.Image1[0].width));
    file.write("Option", "SSW", truth(f.Ktext.checked));
}

// The part of the state that the settings carry.
struct Saved {
    std::array<std::string, kSlotCount> path, note, toolTip;
    std::array<std::int16_t, kSlotCount> exeType{};
    std::array<std::string, kPageCount> pageNote;
    bool SKchk = false, ALH = false, Ktext = false;
    float top = 0, left = 0;
    int page = 0;
    std::int32_t sliderH = 0, sliderW = 0;

    bool operator==(const Saved&) const = default;
};

Saved snapshot(const Launcher& app) {
    const Form1& f = app.form1;
    Saved s;
    for (int i = 0; i < kSlotCount; ++i) {
        s.path[i] = f.slotPath[i];
        s.note[i] = f.slotNote[i];
        s.exeType[i] = f.slotExeType[i];
        s.toolTip[i] = f.Image1[i].toolTip;
    }
    for (int p = 0; p < kPageCount; ++p) s.pageNote[p] = f.pageNote[p];
    s.SKchk = f.SKchk.checked;
    s.ALH = f.ALH.checked;
    s.Ktext = f.Ktext.checked;
    s.top = f.top;
    s.left = f.left;
    s.page = f.VScroll1.value;
    s.sliderH = app.form2.SliderH.value;
    s.sliderW = app.form2.SliderW.value;
    return s;
}

// A load merges the file into `s` by the rules of each key.
Saved expectLoad(Saved s, const FileModel& file) {
    for (int i = 0; i < kSlotCount; ++i) {
        if (const auto v = file.text(indexed("TEXT", i))) s.path[i] = *v;
        if (s.path[i].empty()) continue;
        if (const auto v = file.text(indexed("SETUMEI", i))) s.note[i] = *v;
        if (const auto v = file.text(indexed("exetype", i))) {
            if (const auto n = settings::readInt16(*v)) s.exeType[i] = *n;
        }
        s.toolTip[i] = s.note[i].empty() ? s.path[i] : s.note[i];
    }
    for (int p = 0; p < kPageCount; ++p) {
        if (const auto v = file.text(indexed("PSETUMEI", p))) s.pageNote[p] = *v;
    }
    const auto applySwitch = [&](const char* key, bool& mark) {
        const auto v = file.read("Option", key);
        if (!v || lower(*v) == "nl") return;
        const std::string l = lower(*v);
        mark = !(l.rfind("fals", 0) == 0 || l.rfind("nl", 0) == 0);
    };
    applySwitch("SUKIchk", s.SKchk);
    applySwitch("ALLWAYS", s.ALH);
    const auto applyEdge = [&](const char* key, float& edge) {
        if (const auto v = file.text(key, "Option")) {
            const auto n = settings::readInt16(*v);
            if (n && *n <= 24999) edge = *n;
        }
    };
    applyEdge("top", s.top);
    applyEdge("left", s.left);
    if (const auto v = file.text("Page", "Option")) {
        const auto n = settings::readInt16(*v);
        if (n && *n >= 0 && *n <= kLastPage) s.page = *n;
    }
    const auto applySize = [&](const char* key, std::int32_t& slider) {
        const auto v = file.text(key, "Option");
        const auto n = v ? settings::readInt32(*v) : std::optional<std::int32_t>(240);
        if (n) slider = std::clamp<std::int32_t>(*n, 135, 490);
    };
    applySize("SizeX", s.sliderH);
    applySize("SizeY", s.sliderW);
    if (const auto v = file.text("SSW", "Option")) s.Ktext = lower(*v) == "true";
    return s;
}

std::string describe(const Saved& want, const Saved& got) {
    std::ostringstream out;
    for (int i = 0; i < kSlotCount; ++i) {
        if (want.path[i] != got.path[i])
            out << "slot " << i << " path [" << want.path[i] << "] got [" << got.path[i] << "]\n";
        if (want.note[i] != got.note[i])
            out << "slot " << i << " note [" << want.note[i] << "] got [" << got.note[i] << "]\n";
        if (want.exeType[i] != got.exeType[i])
            out << "slot " << i << " exetype " << want.exeType[i] << " got " << got.exeType[i] << "\n";
        if (want.toolTip[i] != got.toolTip[i])
            out << "slot " << i << " tool tip [" << want.toolTip[i] << "] got [" << got.toolTip[i] << "]\n";
    }
    for (int p = 0; p < kPageCount; ++p) {
        if (want.pageNote[p] != got.pageNote[p])
            out << "page " << p << " [" << want.pageNote[p] << "] got [" << got.pageNote[p] << "]\n";
    }
    out << "SKchk " << want.SKchk << "/" << got.SKchk << " ALH " << want.ALH << "/" << got.ALH << " Ktext "
        << want.Ktext << "/" << got.Ktext << " top " << want.top << "/" << got.top << " left " << want.left << "/"
        << got.left << " page " << want.page << "/" << got.page << " sliders " << want.sliderH << "," << want.sliderW
        << "/" << got.sliderH << "," << got.sliderW;
    return out.str();
}

class Soak {
public:
    Soak(std::uint32_t seed, const std::string& dir) : random_(seed), dir_(dir) { start(); }

    // One random step; false once a check has failed.
    bool step(int n);

private:
    int pick(int below) { return static_cast<int>(random_() % static_cast<std::uint32_t>(below)); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string randomText(bool path) {
        static const char* const kOdd[] = {
            "NL",      "nl",          "Nl",         "NLP notes", "",    " ",      "  padded  ",      "\tlead tab",
            "trail\t", "line\nbreak", "cr\rinside", "=",         "a=b", "[DATA]", "; not a comment", "日本語の説明",
            "NL ",     " NL",
        };
        if (chance(30)) {
            std::string s = kOdd[pick(static_cast<int>(std::size(kOdd)))];
            return s;
        }
        if (chance(3)) return std::string(static_cast<std::size_t>(250 + pick(20)), 'p');
        std::string s = path ? "/usr/bin/tool" : "note ";
        s += std::to_string(pick(100000));
        if (path && chance(20)) s += " with blank";
        return s;
    }

    void start() {
        platform_ = std::make_unique<RealFilesPlatform>(dir_);
        platform_->onPopup = [this] { choose(); };
        app_ = std::make_unique<Launcher>(*platform_);
        Form_Load(*app_);
        refreshedNote_ = {};
        for (int i = 0; i < kSlotCount; ++i) refreshedNote_[i] = app_->form1.slotNote[i];
    }

    // The user picks the wanted entry if it is there to pick, else closes the menu.
    void choose() {
        const auto& entries = platform_->popupsShown.back();
        const auto it =
            std::find_if(entries.begin(), entries.end(), [&](const PopupEntry& e) { return e.id == want_; });
        const bool can = it != entries.end() && it->entry.enabled && it->entry.visible;
        platform_->popupChoices.push_back(can ? std::optional<MenuId>(want_) : std::nullopt);
        chosen_ = can;
    }

    // Right click on a slot and the entry chosen; whether it was there to choose.
    bool popup(int slot, MenuId id) {
        want_ = id;
        chosen_ = false;
        Image1_MouseDown(*app_, slot, kRightButton, 0, 0, 0);
        return chosen_;
    }

    int randomSlot() { return pick(kSlotCount); }
    int filledSlot() {
        std::vector<int> filled;
        for (int i = 0; i < kSlotCount; ++i) {
            if (!app_->form1.slotPath[i].empty()) filled.push_back(i);
        }
        return filled.empty() ? randomSlot() : filled[static_cast<std::size_t>(pick(static_cast<int>(filled.size())))];
    }

    void save() {
        if (!popup(randomSlot(), MenuId::mn_save)) return;
        modelSave(file_, *app_);
        checkFreshStart();
    }

    void checkFreshStart();
    void checkInvariants(const Launcher& app, const char* which);

    std::mt19937 random_;
    std::string dir_;
    std::unique_ptr<RealFilesPlatform> platform_;
    std::unique_ptr<Launcher> app_;
    FileModel file_;
    // Each slot's description when its tool tip was last set: the tool tip
    // follows a description edit only at the next load or move.
    std::array<std::string, kSlotCount> refreshedNote_;
    MenuId want_ = MenuId::Nnnnn;
    bool chosen_ = false;
    std::string log_;

public:
    const std::string& log() const { return log_; }
};

void Soak::checkInvariants(const Launcher& app, const char* which) {
    const Form1& f = app.form1;
    for (int i = 0; i < kSlotCount; ++i) {
        const Control& image = f.Image1[i];
        if (f.slotPath[i].empty()) {
            EXPECT_TRUE(isSlotEmpty(f, i));
            EXPECT_FALSE(image.picture) << which << ": empty slot " << i << " shows a picture";
            EXPECT_EQ(image.toolTip, "") << which << ": empty slot " << i << " has a tool tip";
        } else {
            EXPECT_FALSE(isSlotEmpty(f, i));
            EXPECT_TRUE(image.picture) << which << ": filled slot " << i << " has no picture";
        }
    }
    // A first-free scan leaves dropSlot one past the table; the operations
    // that use it look before they index.
    EXPECT_GE(f.dropSlot, 0) << which;
    EXPECT_LE(f.dropSlot, kSlotArraySize) << which;
    EXPECT_GE(f.menuSlot, 0) << which;
    EXPECT_LT(f.menuSlot, kSlotCount) << which;
    EXPECT_GE(f.VScroll1.value, 0) << which;
    EXPECT_LE(f.VScroll1.value, kLastPage) << which;
}

void Soak::checkFreshStart() {
    RealFilesPlatform fresh(dir_);
    Launcher started(fresh);
    const Saved initial = snapshot(started);
    Form_Load(started);
    const Saved want = expectLoad(initial, file_);
    const Saved got = snapshot(started);
    EXPECT_TRUE(want == got) << "a fresh start differs from what the files hold:\n" << describe(want, got);
    for (int i = 0; i < kSlotCount; ++i) {
        const auto saved = file_.pictures.find(i);
        if (started.form1.slotPath[i].empty() || saved == file_.pictures.end()) continue;
        EXPECT_TRUE(started.form1.Image1[i].picture && *started.form1.Image1[i].picture == saved->second)
            << "slot " << i << " does not show its saved picture";
    }
    checkInvariants(started, "fresh start");
    // Every filled slot whose values the file can hold comes back as it is in memory.
    const Form1& f = app_->form1;
    for (int i = 0; i < kSlotCount; ++i) {
        const std::string& p = f.slotPath[i];
        const bool holdable = p.find_first_of("\r\n") == std::string::npos && trimBlanks(p) == p && lower(p) != "nl";
        if (!p.empty() && holdable) {
            EXPECT_EQ(started.form1.slotPath[i], p) << "slot " << i;
        }
    }
}

bool Soak::step(int n) {
    Form1& f = app_->form1;
    std::ostringstream what;
    const int op = pick(100);
    if (op < 14 || (op >= 93 && op < 96)) {
        // A drop, in the mode the switch is in; sometimes not a file list at all.
        const int slot = randomSlot();
        DropData data;
        if (!chance(5)) data.files = std::vector<std::string>{randomText(true), "/second/ignored"};
        what << "drop on " << slot << (f.SKchk.checked ? " at the slot" : " first free");
        const auto before = snapshot(*app_);
        Image1_OLEDragDrop(*app_, slot, data);
        for (int i = 0; i < kSlotCount; ++i) {
            if (before.path[i] != f.slotPath[i]) refreshedNote_[i] = f.slotNote[i];
        }
    } else if (op < 20) {
        what << "switch drop placement";
        popup(randomSlot(), MenuId::SKchk);
    } else if (op < 28) {
        const int slot = randomSlot();
        what << "click " << slot;
        Image1_Click(*app_, slot);
    } else if (op < 36) {
        static const int kKeys[] = {0x30, 0x35, 0x39, 0x41, 0x47, 0x5A, 0x70, 0x75, 0x7B, 0x21, 0x26, 0x0D};
        const int key = kKeys[pick(static_cast<int>(std::size(kKeys)))];
        what << "key " << key;
        VScroll1_KeyDown(*app_, key, pick(2));
    } else if (op < 40) {
        const int slot = randomSlot();
        what << "hover " << slot;
        Image1_MouseMove(*app_, slot, 0, 0, 10, 10);
    } else if (op < 48) {
        // Move-icons mode on, then a slot dragged onto another.
        if (app_->form2.iCheck.value != 1) popup(randomSlot(), MenuId::imove);
        const int source = filledSlot();
        const int target = randomSlot();
        what << "move " << source << " to " << target;
        const bool fills = !f.slotPath[source].empty() && f.slotPath[target].empty() && source != target;
        platform_->onDrag = [&](int s) { Image1_DragDrop(*app_, target, s, 0, 0); };
        Image1_MouseDown(*app_, source, kLeftButton, 0, 0, 0);
        platform_->onDrag = nullptr;
        if (fills) {
            writeSlot(file_, f, target);
            markDeleted(file_, source);
            refreshedNote_[target] = f.slotNote[target];
        }
    } else if (op < 50) {
        what << "leave move-icons mode";
        if (app_->form2.iCheck.value == 1) popup(randomSlot(), MenuId::imove);
    } else if (op < 56 || op >= 96) {
        const int slot = filledSlot();
        what << "delete " << slot;
        if (popup(slot, MenuId::DELS)) markDeleted(file_, slot);
    } else if (op < 64) {
        const int slot = filledSlot();
        const std::string note = randomText(false);
        what << "describe " << slot << " as [" << note << "]";
        if (popup(slot, MenuId::sWrite)) {
            app_->form3.Text1.text = note;
            if (chance(15)) {
                form3::Command2_Click(*app_);
            } else if (chance(50)) {
                int enter = 13;
                form3::Text1_KeyPress(*app_, enter);
            } else {
                form3::Command1_Click(*app_);
            }
        }
    } else if (op < 68) {
        const std::string note = randomText(false);
        what << "describe page " << f.VScroll1.value << " as [" << note << "]";
        if (popup(randomSlot(), MenuId::PSwrite)) {
            app_->form3.Text2.text = note;
            form3::Command3_Click(*app_);
        }
    } else if (op < 71) {
        const int slot = filledSlot();
        what << "switch launch mode of " << slot;
        popup(slot, MenuId::Ksw);
    } else if (op < 77) {
        const std::int32_t h = 100 + pick(420), w = 100 + pick(420);
        const bool apply = chance(50);
        what << "sliders " << h << "," << w << (apply ? " applied" : "");
        form2::setSliderH(*app_, h);
        form2::setSliderW(*app_, w);
        if (apply) form2::iconsize_Click(*app_);
    } else if (op < 80) {
        static const MenuId kSwitches[] = {MenuId::Ktext, MenuId::ALH};
        const MenuId id = kSwitches[pick(2)];
        what << "switch " << static_cast<int>(id);
        popup(randomSlot(), id);
    } else if (op < 83) {
        // The window manager moved the window, sometimes far off.
        f.top = static_cast<float>(pick(40000) - 5000) + (chance(30) ? 0.5f : 0.0f);
        f.left = static_cast<float>(pick(40000) - 5000) + (chance(30) ? 0.25f : 0.0f);
        what << "window at " << f.left << "," << f.top;
    } else if (op < 84) {
        // The registration panel works on dropSlot, whatever the last drop left in it.
        what << "panel run and draw, dropSlot " << f.dropSlot;
        Command1_Click(*app_);
        Command3_Click(*app_);
        platform_->messages.clear();
    } else if (op < 86) {
        what << "drag over the scroll bar";
        platform_->timer += 1.0f;
        VScroll1_DragOver(*app_, 0, static_cast<float>(pick(3000)), 0);
    } else if (op < 89) {
        what << "save";
        save();
    } else if (op < 92) {
        what << "load";
        const Saved before = snapshot(*app_);
        if (popup(randomSlot(), MenuId::mn_load)) {
            const Saved want = expectLoad(before, file_);
            const Saved got = snapshot(*app_);
            EXPECT_TRUE(want == got) << "a load merged otherwise than the file says:\n" << describe(want, got);
            for (int i = 0; i < kSlotCount; ++i) refreshedNote_[i] = f.slotNote[i];
        }
    } else {
        // Quit by the close box and start again on the files.
        what << "restart";
        std::int16_t cancel = 0;
        Form_Unload(*app_, cancel);
        modelSave(file_, *app_);
        checkFreshStart();
        start();
    }
    log_ += std::to_string(n) + ": " + what.str() + "\n";
    if (log_.size() > 4000) log_.erase(0, log_.size() - 2000);

    checkInvariants(*app_, "running");
    for (int i = 0; i < kSlotCount; ++i) {
        if (app_->form1.slotPath[i].empty()) continue;
        const std::string& note = refreshedNote_[i];
        EXPECT_EQ(app_->form1.Image1[i].toolTip, note.empty() ? app_->form1.slotPath[i] : note)
            << "the tool tip of slot " << i << " does not follow the rule";
    }
    // The recorded calls are not needed; they would only pile up.
    platform_->calls.clear();
    platform_->popupsShown.clear();
    return !::testing::Test::HasFailure();
}

TEST(Soak, RandomRunAgainstTheFileModel) {
    std::uint32_t seed = std::random_device{}();
    if (const char* s = std::getenv("QUILLOP_SOAK_SEED"))
        seed = static_cast<std::uint32_t>(std::strtoul(s, nullptr, 10));
    int steps = 20000;
    if (const char* s = std::getenv("QUILLOP_SOAK_STEPS")) steps = std::atoi(s);
    std::cout << "soak seed " << seed << " (replay with QUILLOP_SOAK_SEED=" << seed << ")\n";
    RecordProperty("seed", std::to_string(seed));

    // In memory where there is a tmpfs: the run rewrites some hundred thousand small files.
    std::error_code ec;
    const auto base = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                    : std::filesystem::temp_directory_path();
    const std::string pattern =
        (base / "qlp-soak-").string() + std::to_string(seed) + "-" + std::to_string(std::random_device{}());
    std::filesystem::create_directories(pattern);
    {
        Soak soak(seed, pattern);
        for (int n = 0; n < steps; ++n) {
            if (!soak.step(n)) {
                ADD_FAILURE() << "seed " << seed << ", step " << n << "; the last steps:\n" << soak.log();
                break;
            }
        }
    }
    std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace qlp
