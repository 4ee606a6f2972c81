// Starting programs: CreateProcessW for a command line (never cmd.exe), and
// ShellExecuteW "open" for the association, on names outside the ANSI code page.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "win32_test_support.h"

namespace qlp::test {
namespace {

struct ProbeReport {
    std::string show;
    std::string cwd;
    std::string parent;
    std::vector<std::string> args;
};

ProbeReport readReport(const std::filesystem::path& path) {
    ProbeReport report;
    std::istringstream in(readBytes(path));
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "show") report.show = value;
        if (key == "cwd") report.cwd = value;
        if (key == "parent") report.parent = value;
        if (key == "arg") report.args.push_back(value);
    }
    return report;
}

std::filesystem::path besideThisProgram(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / name;
}

class Win32Launch : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.at("my tools"));
        std::filesystem::copy_file(besideThisProgram(L"args_probe.exe"), probe);
    }
    WinTempDir dir;
    std::filesystem::path probe = dir.at("my tools\\probe.exe");
    std::filesystem::path out = dir.at("report of the run.txt");
    std::string quoted(const std::filesystem::path& p) const { return "\"" + win32::narrow(p.wstring()) + "\""; }
};

TEST_F(Win32Launch, ACommandLineStartsItsProgramDirectlyWithItsArgumentsAsWritten) {
    // What a shell would act on arrives untouched: no cmd.exe stands in between.
    const std::string line = quoted(probe) + " " + quoted(out) + " \"a b\" c \"d&e\" f|g ^h %PATH% \"\"";
    ASSERT_TRUE(win32::startCommandLine(line, kSwShowMinimized));
    ASSERT_TRUE(waitForFile(out));
    const ProbeReport report = readReport(out);
    EXPECT_EQ(report.args, (std::vector<std::string>{"a b", "c", "d&e", "f|g", "^h", "%PATH%", ""}));
    // Minimised with focus, as asked.
    EXPECT_EQ(report.show, "2");
    EXPECT_EQ(_stricmp(report.parent.c_str(), "win32_tests.exe"), 0) << report.parent;
}

TEST_F(Win32Launch, ACommandLineThatNamesNoProgramReportsFailure) {
    win32::Win32Platform platform(dir.utf8());
    EXPECT_FALSE(platform.Shell(quoted(dir.at("my tools\\missing.exe")) + " x", kSwShowMinimized));
    EXPECT_FALSE(platform.Shell("", kSwShowMinimized));
    EXPECT_TRUE(platform.Shell(quoted(probe) + " " + quoted(out), kSwShowMinimized));
    EXPECT_TRUE(waitForFile(out));
}

TEST_F(Win32Launch, OpenGoesThroughTheShellInTheDirectoryGiven) {
    win32::Win32Platform platform(dir.utf8());
    const std::string parameters = quoted(out) + " x";
    platform.ShellExecuteA(kForm1Window, "open", win32::narrow(probe.wstring()), parameters.c_str(),
                           win32::narrow(dir.at("my tools").wstring()), kSwShow);
    ASSERT_TRUE(waitForFile(out));
    const ProbeReport report = readReport(out);
    EXPECT_EQ(report.args, std::vector<std::string>{"x"});
    EXPECT_EQ(report.show, "5");
    EXPECT_EQ(_wcsicmp(win32::widen(report.cwd).c_str(), dir.at("my tools").c_str()), 0) << report.cwd;
}

}  // namespace
}  // namespace qlp::test
