#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/cmdline/command_line.h"

namespace qlp::cmdline {
namespace {

using Args = std::vector<std::string>;

class CmdlineSplitterTest : public ::testing::Test {
protected:
    std::set<std::string> executables = {
        "/usr/bin/editor", "/opt/my tools/run me", "/opt/my tools/run", "/opt/my", "/bin/true",
    };
    std::vector<std::string> asked;  // every path the splitter tested, in order
    std::vector<std::string> lookedUp;

    std::optional<Command> split(const std::string& line) {
        return splitCommandLine(
            line,
            [this](const std::string& p) {
                asked.push_back(p);
                return executables.count(p) > 0;
            },
            [this](const std::string& name) -> std::optional<std::string> {
                lookedUp.push_back(name);
                if (name == "xterm" || name == "run me") return "/usr/bin/" + name;
                return std::nullopt;
            });
    }
};

TEST_F(CmdlineSplitterTest, SplitsByTheRules) {
    const struct {
        std::string line;
        std::optional<Command> want;
    } cases[] = {
        // the whole line names a program: blanks and all, no arguments
        {"/opt/my tools/run me", Command{"/opt/my tools/run me", {}}},
        // the longest prefix ending before a blank wins over shorter ones
        {"/opt/my tools/run me now", Command{"/opt/my tools/run me", {"now"}}},
        {"/opt/my tools/run it", Command{"/opt/my tools/run", {"it"}}},
        {"/opt/my other", Command{"/opt/my", {"other"}}},
        {"/usr/bin/editor /home/u/a.txt  -n\t5", Command{"/usr/bin/editor", {"/home/u/a.txt", "-n", "5"}}},
        // double quotes group and are dropped; "" is an empty argument
        {"/usr/bin/editor \"/home/u/a file.txt\" x\"y z\"w \"\"",
         Command{"/usr/bin/editor", {"/home/u/a file.txt", "xy zw", ""}}},
        {"/usr/bin/editor \"unclosed arg", Command{"/usr/bin/editor", {"unclosed arg"}}},
        // a trailing blank leaves no argument behind
        {"/usr/bin/editor ", Command{"/usr/bin/editor", {}}},
        // a quoted program path
        {"\"/opt/my tools/run me\" -x", Command{"/opt/my tools/run me", {"-x"}}},
        // leading blanks before a path
        {"  /bin/true a", Command{"/bin/true", {"a"}}},
        // a bare name is looked up on PATH
        {"xterm -e top", Command{"/usr/bin/xterm", {"-e", "top"}}},
        {"\"run me\" later", Command{"/usr/bin/run me", {"later"}}},
        // nothing that can be started
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"\"\" x", std::nullopt},
        {"/home/u/notes.txt", std::nullopt},
        {"/home/u/x; touch /home/u/pwned", std::nullopt},
        {"nosuchprogram --help", std::nullopt},
        {"/usr/bin/editorial x", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("line [" + c.line + "]");
        EXPECT_EQ(split(c.line), c.want);
    }
}

TEST_F(CmdlineSplitterTest, PrefixesAreTriedLongestFirstAndOnlyBeforeBlanks) {
    executables.clear();
    split("/a b/c d e");
    EXPECT_EQ(asked, (Args{"/a b/c d e", "/a b/c d", "/a b/c", "/a", "/a"}));
    EXPECT_TRUE(lookedUp.empty());
}

TEST_F(CmdlineSplitterTest, OnlyBareNamesGoToPath) {
    executables.clear();
    split("./tool x");
    split("tool x");
    EXPECT_EQ(lookedUp, Args{"tool"});
}

TEST(CmdlineArguments, SplitsOnRunsOfBlanks) {
    EXPECT_EQ(splitArguments(""), Args{});
    EXPECT_EQ(splitArguments(" \t "), Args{});
    EXPECT_EQ(splitArguments("a  b\tc"), (Args{"a", "b", "c"}));
    EXPECT_EQ(splitArguments("\"a  b\"c"), (Args{"a  bc"}));
    EXPECT_EQ(splitArguments("'single' quotes"), (Args{"'single'", "quotes"}));
    EXPECT_EQ(splitArguments("back\\slash \\\"x\""), (Args{"back\\slash", "\\x"}));
}

}  // namespace
}  // namespace qlp::cmdline
