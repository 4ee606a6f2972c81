// Saving and loading the launcher's state, against the recording fake.
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <memory>

#include "descriptions/descriptions.h"
#include "model/launcher.h"
#include "options/options.h"
#include "slots/icon_picture.h"
#include "support/fake_platform.h"

namespace qlp {
namespace {

using test::Call;
using test::FakePlatform;

constexpr const char* kDir = "/home/user/.config/quillop";
constexpr const char* kFile = "/home/user/.config/quillop/QLPconf.ini";

Picture pictureOf(std::uint32_t colour) { return std::make_shared<const Bitmap>(Bitmap{1, 1, {colour}}); }

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { app.form1.winDir = kDir; }

    void fill(int slot, const std::string& path, const std::string& note = {}, std::int16_t exeType = 0) {
        app.form1.slotPath[slot] = path;
        app.form1.slotNote[slot] = note;
        app.form1.slotExeType[slot] = exeType;
        app.form1.Image1[slot].picture = pictureOf(0xFF000000u + static_cast<std::uint32_t>(slot));
    }
    void stored(const std::string& section, const std::string& key, const std::string& value) {
        fake.setProfileValue(kFile, section, key, value);
    }
    std::optional<std::string> value(const std::string& section, const std::string& key) const {
        return fake.profileValue(kFile, section, key);
    }
    std::vector<std::string> profileCallKeys(const std::string& name) const {
        std::vector<std::string> keys;
        for (const Call& c : fake.callsNamed(name)) keys.push_back(c.args[0] + "." + c.args[1]);
        return keys;
    }

    FakePlatform fake;
    Launcher app{fake};
};

TEST_F(SettingsTest, SaveWritesEveryFilledSlotThenPagesThenOptionsInOneBatch) {
    fill(0, "/usr/bin/gedit", "editor", 1);
    fill(5, "/home/user/doc.txt");
    app.form1.Image1[5].picture.reset();  // a filled slot without a picture
    app.form1.pageNote[0] = "work";
    app.form1.SKchk.checked = false;
    app.form1.ALH.checked = true;
    app.form1.Ktext.checked = true;
    app.form1.top = 1500;
    app.form1.left = -120;
    app.form1.Image1[0].height = 240;
    app.form1.Image1[0].width = 487.5f;
    app.form1.VScroll1.value = 4;
    app.form1.Picture1.width = 540;

    mn_save_Click(app);

    std::vector<std::string> expected = {"DATA.TEXT0", "DATA.SETUMEI0", "DATA.exetype0",
                                         "DATA.TEXT5", "DATA.SETUMEI5", "DATA.exetype5"};
    for (int p = 0; p < kPageCount; ++p) expected.push_back("DATA.PSetumei" + std::to_string(p));
    for (const char* k : {"SUKIchk", "ALLWAYS", "top", "left", "Page", "SizeX", "SizeY", "SSW"}) {
        expected.push_back(std::string("Option.") + k);
    }
    EXPECT_EQ(profileCallKeys("WritePrivateProfileStringA"), expected);
    for (const Call& c : fake.callsNamed("WritePrivateProfileStringA")) EXPECT_EQ(c.args[3], kFile);

    // The batch encloses every write; the picture goes right after its slot's keys.
    const auto names = fake.callNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "BeginProfileBatch");
    EXPECT_EQ(names.back(), "EndProfileBatch");
    EXPECT_EQ(names[4], "SavePicture");
    EXPECT_EQ(fake.callsNamed("SavePicture"), (std::vector<Call>{{"SavePicture", {std::string(kDir) + "/Licn0"}}}));
    EXPECT_EQ(fake.pictures.at(std::string(kDir) + "/Licn0"), *app.form1.Image1[0].picture);

    const struct {
        const char* section;
        const char* key;
        const char* value;
    } values[] = {
        {"DATA", "TEXT0", "/usr/bin/gedit"}, {"DATA", "SETUMEI0", "editor"},
        {"DATA", "exetype0", "1"},           {"DATA", "SETUMEI5", ""},
        {"DATA", "exetype5", "0"},           {"DATA", "PSetumei0", "work"},
        {"DATA", "PSetumei9", ""},           {"Option", "SUKIchk", "False"},
        {"Option", "ALLWAYS", "True"},       {"Option", "top", "1500"},
        {"Option", "left", "-120"},          {"Option", "Page", "4"},
        {"Option", "SizeX", "240"},          {"Option", "SizeY", "487.5"},
        {"Option", "SSW", "True"},
    };
    for (const auto& v : values) EXPECT_EQ(value(v.section, v.key), v.value) << v.key;
    // The save leaves the drawing surface as it was.
    EXPECT_EQ(app.form1.Picture1.width, 540);
}

TEST_F(SettingsTest, SaveWithNothingFilledWritesPagesAndOptionsOnly) {
    SaveSettings(app);
    EXPECT_EQ(fake.callsNamed("WritePrivateProfileStringA").size(), 18u);
    EXPECT_TRUE(fake.callsNamed("SavePicture").empty());
    EXPECT_EQ(value("Option", "SUKIchk"), "True");  // SKchk is checked from creation
    EXPECT_EQ(value("Option", "SSW"), "True");  // and so is Ktext, with the line shown
}

TEST_F(SettingsTest, LoadRestoresAFilledSlotAndSkipsTheKeysOfEmptyOnes) {
    stored("DATA", "TEXT3", "/usr/bin/gimp");
    stored("DATA", "SETUMEI3", "NLP notes");  // data, not the marker
    stored("DATA", "exetype3", "1");
    stored("DATA", "TEXT4", "NL");
    stored("DATA", "SETUMEI4", "ignored");
    stored("DATA", "PSetumei2", "graphics");
    stored("DATA", "TEXT120", "/never/read");
    stored("DATA", "PSetumei10", "never read");
    const std::string longPath = "/" + std::string(600, 'p');
    stored("DATA", "TEXT7", longPath);

    Command6_Click(app);

    const Form1& f = app.form1;
    EXPECT_EQ(f.slotPath[3], "/usr/bin/gimp");
    EXPECT_EQ(f.slotNote[3], "NLP notes");
    EXPECT_EQ(f.slotExeType[3], 1);
    EXPECT_EQ(f.Image1[3].toolTip, "NLP notes");
    EXPECT_EQ(f.slotPath[7], longPath) << "values come back whole";
    EXPECT_EQ(f.Image1[7].toolTip, longPath);
    EXPECT_TRUE(f.slotPath[4].empty());
    EXPECT_TRUE(f.slotNote[4].empty());
    EXPECT_EQ(f.pageNote[2], "graphics");
    EXPECT_TRUE(f.slotPath[120].empty());
    EXPECT_TRUE(f.pageNote[10].empty());

    // Every read names the file and the marker as default; an empty slot is asked for its path only.
    const auto reads = fake.callsNamed("GetPrivateProfileStringA");
    EXPECT_EQ(reads.size(), 120u + 2 * 2 + 10 + 8);
    for (const Call& c : reads) {
        EXPECT_EQ(c.args[2], "NL");
        EXPECT_EQ(c.args[3], kFile);
    }
    const auto keys = profileCallKeys("GetPrivateProfileStringA");
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 7),
              (std::vector<std::string>{"DATA.TEXT0", "DATA.TEXT1", "DATA.TEXT2", "DATA.TEXT3", "DATA.SETUMEI3",
                                        "DATA.exetype3", "DATA.TEXT4"}));
    EXPECT_EQ(keys[120 + 4], "DATA.PSETUMEI0");
    EXPECT_EQ(std::vector<std::string>(keys.end() - 8, keys.end()),
              (std::vector<std::string>{"Option.SUKIchk", "Option.ALLWAYS", "Option.top", "Option.left", "Option.Page",
                                        "Option.SizeX", "Option.SizeY", "Option.SSW"}));
}

TEST_F(SettingsTest, AbsentValuesAreEmptyOrExactlyTheMarker) {
    const struct {
        const char* stored;
        const char* note;
    } cases[] = {
        {"NL", "before"}, {"nl", "before"},   {"", "before"},       {"NLP notes", "NLP notes"},
        {"nl x", "nl x"}, {"False", "False"}, {"\"NL\"", "\"NL\""},
    };
    for (const auto& c : cases) {
        fake.profiles.clear();
        app.form1.slotPath[0] = "/bin/true";
        app.form1.slotNote[0] = "before";
        stored("DATA", "SETUMEI0", c.stored);
        LoadSettings(app);
        EXPECT_EQ(app.form1.slotNote[0], c.note) << "stored \"" << c.stored << "\"";
    }
}

TEST_F(SettingsTest, ALaterLoadMergesTheFileIntoTheState) {
    fill(0, "/a", "note a", 1);
    fill(1, "/b", "note b");
    app.form1.pageNote[1] = "page one";
    app.form1.ALH.checked = true;
    stored("DATA", "TEXT0", "NL");
    stored("DATA", "SETUMEI0", "NL");
    stored("DATA", "TEXT1", "/b2");
    stored("DATA", "exetype1", "1");
    stored("DATA", "PSetumei1", "");

    mn_load_Click(app);

    EXPECT_EQ(app.form1.slotPath[0], "/a");
    EXPECT_EQ(app.form1.slotNote[0], "note a");
    EXPECT_EQ(app.form1.slotExeType[0], 1);
    EXPECT_EQ(app.form1.Image1[0].toolTip, "note a");
    EXPECT_EQ(app.form1.slotPath[1], "/b2");
    EXPECT_EQ(app.form1.slotNote[1], "note b");
    EXPECT_EQ(app.form1.slotExeType[1], 1);
    EXPECT_EQ(app.form1.pageNote[1], "page one");
    EXPECT_TRUE(app.form1.ALH.checked);
}

TEST_F(SettingsTest, NumbersAreDecimalRoundedHalfToEvenAndTakenOnlyInRange) {
    const struct {
        const char* stored;
        std::int16_t exeType;
    } cases[] = {
        {"1", 1},           {"0", 0},       {"-1", -1},           {"+3", 3},    {" 2 ", 2},   {"1.5", 2},
        {"2.5", 2},         {"-2.5", -2},   {"0.49", 0},          {"3.5", 4},   {"1e2", 100}, {"32767", 32767},
        {"-32768", -32768}, {"32767.5", 7}, {"-32768.5", -32768}, {"32768", 7}, {"abc", 7},   {"1x", 7},
        {"0x10", 7},        {"inf", 7},     {"nan", 7},           {"+-1", 7},   {"", 7},      {"NL", 7},
    };
    for (const auto& c : cases) {
        fake.profiles.clear();
        app.form1.slotPath[2] = "/bin/sh";
        app.form1.slotExeType[2] = 7;
        stored("DATA", "exetype2", c.stored);
        LoadSettings(app);
        EXPECT_EQ(app.form1.slotExeType[2], c.exeType) << "stored \"" << c.stored << "\"";
    }
}

TEST_F(SettingsTest, SwitchesSetAndClearTheirCheckMarks) {
    enum { Unchanged = -1 };
    const struct {
        std::optional<std::string> stored;
        int result;  // 0 cleared, 1 set, Unchanged
    } cases[] = {
        {std::nullopt, Unchanged},
        {"NL", Unchanged},
        {"nl", Unchanged},
        {"False", 0},
        {"false", 0},
        {"FALSE", 0},
        {"falsch", 0},
        {"NLx", 0},
        {"nl off", 0},
        {"True", 1},
        {"yes", 1},
        {"1", 1},
        {"", 1},
        {"0", 1},
    };
    for (const auto& c : cases) {
        for (const bool before : {false, true}) {
            fake.profiles.clear();
            app.form1.SKchk.checked = before;
            app.form1.ALH.checked = before;
            if (c.stored) {
                stored("Option", "SUKIchk", *c.stored);
                stored("Option", "ALLWAYS", *c.stored);
            }
            LoadSettings(app);
            const bool expected = c.result == Unchanged ? before : c.result == 1;
            EXPECT_EQ(app.form1.SKchk.checked, expected) << c.stored.value_or("<missing>") << " from " << before;
            EXPECT_EQ(app.form1.ALH.checked, expected) << c.stored.value_or("<missing>") << " from " << before;
        }
    }
}

TEST_F(SettingsTest, WindowEdgesUpTo24999AreTaken) {
    const struct {
        const char* stored;
        float edge;
    } cases[] = {
        {"25000", 1440}, {"24999", 24999}, {"-300", -300},     {"0", 0},       {"1500.5", 1500},
        {"40000", 1440}, {"-32769", 1440}, {"-32768", -32768}, {"left", 1440}, {"", 1440},
    };
    for (const auto& c : cases) {
        fake.profiles.clear();
        app.form1.top = 1440;
        app.form1.left = 1440;
        stored("Option", "top", c.stored);
        stored("Option", "left", c.stored);
        LoadSettings(app);
        EXPECT_EQ(app.form1.top, c.edge) << c.stored;
        EXPECT_EQ(app.form1.left, c.edge) << c.stored;
    }
}

TEST_F(SettingsTest, PageTurnsOnlyToAnExistingPage) {
    const struct {
        const char* stored;
        int page;
    } cases[] = {{"3", 3}, {"9", 9}, {"0", 0}, {"2.5", 2}, {"10", 1}, {"-1", 1}, {"two", 1}, {"NL", 1}};
    for (const auto& c : cases) {
        fake.profiles.clear();
        app.form1.VScroll1.value = 1;
        app.form1.Label1.caption = "1";
        stored("Option", "Page", c.stored);
        LoadSettings(app);
        EXPECT_EQ(app.form1.VScroll1.value, c.page) << c.stored;
        EXPECT_EQ(app.form1.Label1.caption, std::to_string(c.page)) << c.stored << ": the page turned";
        if (c.page != 1) {
            EXPECT_EQ(frontFrame(app.form1), c.page) << c.stored;
        }
    }
}

TEST_F(SettingsTest, SlidersTakeTheSizesClampedIntoTheirRange) {
    const struct {
        std::optional<std::string> sizeX;
        std::optional<std::string> sizeY;
        std::int32_t sliderH;
        std::int32_t sliderW;
    } cases[] = {
        {std::nullopt, std::nullopt, 240, 240},
        {std::nullopt, "480", 240, 480},
        {"300", "NL", 300, 240},
        {"9999", "10", 490, 135},
        {"490.5", "134.5", 490, 135},
        {"abc", "3000000000", 200, 201},  // not a number, beyond 32 bits: unchanged
        {"-5", "2147483647", 135, 490},
    };
    for (const auto& c : cases) {
        fake.profiles.clear();
        form2::setSliderH(app, 200);
        form2::setSliderW(app, 201);
        if (c.sizeX) stored("Option", "SizeX", *c.sizeX);
        if (c.sizeY) stored("Option", "SizeY", *c.sizeY);
        LoadSettings(app);
        EXPECT_EQ(app.form2.SliderH.value, c.sliderH) << c.sizeX.value_or("<missing>");
        EXPECT_EQ(app.form2.SliderW.value, c.sliderW) << c.sizeY.value_or("<missing>");
        EXPECT_EQ(app.form2.sample_img.height, static_cast<float>(c.sliderH)) << "the slider's change ran";
    }
}

TEST_F(SettingsTest, TheDescriptionLineIsLeftAloneWhenItMatchesTheSavedState) {
    const struct {
        bool before;
        const char* stored;
    } cases[] = {{true, "True"}, {true, "TRUE"}, {false, "False"}, {false, "yes"},
                 {false, "NL"},  {true, "NL"},   {true, ""}};
    for (const auto& c : cases) {
        fake.profiles.clear();
        app.form1.Ktext.checked = c.before;
        const Launcher before = app;
        stored("Option", "SSW", c.stored);
        LoadSettings(app);
        EXPECT_EQ(app.form1.Ktext.checked, c.before) << c.stored;
        EXPECT_EQ(app.form1.height, before.form1.height) << c.stored;
        EXPECT_EQ(app.form1.txt_Ktext.visible, before.form1.txt_Ktext.visible) << c.stored;
    }
}

TEST_F(SettingsTest, TheDescriptionLineIsSwitchedToTheSavedState) {
    {
        FakePlatform probeOps;
        Launcher probe{probeOps};
        const bool was = probe.form1.Ktext.checked;
        Ktext_Click(probe);
        if (probe.form1.Ktext.checked == was) GTEST_SKIP() << "Ktext_Click does not switch the line yet";
    }
    const struct {
        bool before;
        const char* stored;
        bool after;
    } cases[] = {{false, "True", true}, {false, "true", true}, {true, "False", false}, {true, "1", false}};
    for (const auto& c : cases) {
        fake.profiles.clear();
        app.form1.Ktext.checked = c.before;
        stored("Option", "SSW", c.stored);
        LoadSettings(app);
        EXPECT_EQ(app.form1.Ktext.checked, c.after) << c.stored;
        // A second load of the same file switches nothing.
        LoadSettings(app);
        EXPECT_EQ(app.form1.Ktext.checked, c.after) << c.stored;
    }
}

TEST_F(SettingsTest, ASavedPictureIsLoadedAndAMissingOrUnreadableOneRenderedAfresh) {
    const std::string licn2 = std::string(kDir) + "/Licn2";
    const std::string licn3 = std::string(kDir) + "/Licn3";
    const Bitmap saved{2, 1, {0xFF112233u, 0xFF445566u}};
    stored("DATA", "TEXT2", "/usr/bin/a");
    stored("DATA", "TEXT3", "/usr/bin/b");
    stored("DATA", "TEXT4", "/usr/bin/c");
    fake.files.insert(licn2);
    fake.pictures[licn2] = saved;
    fake.files.insert(licn3);  // present but no picture in it

    LoadSettings(app);

    ASSERT_TRUE(app.form1.Image1[2].picture);
    EXPECT_EQ(*app.form1.Image1[2].picture, saved);
    EXPECT_EQ(fake.callsNamed("LoadPicture").front(), (Call{"LoadPicture", {licn2}}));
    EXPECT_EQ(fake.callsNamed("Dir").size(), 3u);

    // Which slots asked the icon of their target.
    {
        FakePlatform probeOps;
        Launcher probe{probeOps};
        probe.form1.slotPath[0] = "/x";
        IconDraw(probe, 0);
        if (probeOps.callsNamed("ExtractAssociatedIconA").empty()) GTEST_SKIP() << "IconDraw is not there yet";
    }
    std::vector<std::string> rendered;
    for (const Call& c : fake.callsNamed("ExtractAssociatedIconA")) rendered.push_back(c.args[0]);
    EXPECT_EQ(rendered, (std::vector<std::string>{"/usr/bin/b", "/usr/bin/c"}));
    EXPECT_TRUE(app.form1.Image1[3].picture) << "an unreadable picture file never leaves the slot blank";
    EXPECT_TRUE(app.form1.Image1[4].picture);
}

TEST_F(SettingsTest, SaveThenLoadBringsTheStateBack) {
    fill(0, "/usr/bin/gedit", "editor", 1);
    fill(119, "/home/user/Music", "");
    app.form1.pageNote[9] = "last";
    app.form1.SKchk.checked = true;
    app.form1.ALH.checked = true;
    app.form1.top = 2400;
    app.form1.left = 3600;
    app.form1.VScroll1.value = 6;
    app.form1.Image1[0].height = 300;
    app.form1.Image1[0].width = 450;
    SaveSettings(app);

    FakePlatform otherOps;
    otherOps.profiles = fake.profiles;
    otherOps.files = fake.files;
    otherOps.pictures = fake.pictures;
    Launcher other{otherOps};
    other.form1.winDir = kDir;
    LoadSettings(other);

    for (int i : {0, 119}) {
        EXPECT_EQ(other.form1.slotPath[i], app.form1.slotPath[i]);
        EXPECT_EQ(other.form1.slotNote[i], app.form1.slotNote[i]);
        EXPECT_EQ(other.form1.slotExeType[i], app.form1.slotExeType[i]);
        ASSERT_TRUE(other.form1.Image1[i].picture);
        EXPECT_EQ(*other.form1.Image1[i].picture, *app.form1.Image1[i].picture);
    }
    EXPECT_EQ(other.form1.Image1[119].toolTip, "/home/user/Music");
    EXPECT_EQ(other.form1.pageNote[9], "last");
    EXPECT_TRUE(other.form1.ALH.checked);
    EXPECT_EQ(other.form1.top, 2400);
    EXPECT_EQ(other.form1.left, 3600);
    EXPECT_EQ(other.form1.VScroll1.value, 6);
    EXPECT_EQ(other.form2.SliderH.value, 300);
    EXPECT_EQ(other.form2.SliderW.value, 450);

    // Saving twice writes the same content as saving once.
    const auto once = fake.profiles;
    SaveSettings(app);
    EXPECT_EQ(fake.profiles.at(kFile).size(), once.at(kFile).size());
    for (std::size_t s = 0; s < once.at(kFile).size(); ++s) {
        const auto& a = once.at(kFile)[s].entries;
        const auto& b = fake.profiles.at(kFile)[s].entries;
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t e = 0; e < a.size(); ++e) EXPECT_EQ(a[e].value, b[e].value) << a[e].key;
    }
}

}  // namespace
}  // namespace qlp
