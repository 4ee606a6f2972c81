// Starting programs and opening files on the real system.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "launch_test_support.h"
#include "platform/linux/files/instance_lock.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/services/process_start.h"

namespace qlp::linux_desktop {
namespace {

using namespace std::chrono_literals;
using test::readFile;
using test::traceCommand;
using test::waitForFile;
using test::writeFile;
using test::writeScript;

class ShellLaunchTest : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxPlatform platform{dir.path()};
};

TEST_F(ShellLaunchTest, ProgramWithBlanksInItsPathRunsUnquoted) {
    std::filesystem::create_directory(dir / "my tools");
    const std::string program = dir / "my tools/write trace";
    const std::string out = dir / "trace";
    writeScript(program, traceCommand(out, "echo \"$#:$1\""));
    ASSERT_TRUE(platform.Shell(program, kSwShowMinimized));
    EXPECT_EQ(waitForFile(out), "0:\n");
}

TEST_F(ShellLaunchTest, CommandLineArgumentsReachTheProgram) {
    const std::string program = dir / "args";
    const std::string out = dir / "trace";
    writeScript(program, traceCommand(out, "for a in \"$@\"; do echo \"[$a]\"; done"));
    ASSERT_TRUE(platform.Shell(program + " one \"two words\" 'three'", kSwShowMinimized));
    EXPECT_EQ(waitForFile(out), "[one]\n[two words]\n['three']\n");
}

TEST_F(ShellLaunchTest, StartedProgramGetsEnvironmentButNoDescriptorsAndIsDetached) {
    InstanceLock lock(dir.path());
    ASSERT_FALSE(lock.heldElsewhere());
    // A descriptor opened without close-on-exec must not reach the program either.
    const std::string marker = dir / "leak-marker";
    const int leaky = ::open(marker.c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(leaky, 0);
    ::setenv("QUILLOP_TEST_MARK", "inherited", 1);

    const std::string program = dir / "inspect";
    const std::string out = dir / "trace";
    writeScript(program, traceCommand(out,
                                      "echo \"env=$QUILLOP_TEST_MARK\"; echo \"ppid=$PPID\"; "
                                      "echo \"sid=$(cut -d' ' -f6 /proc/$$/stat)\"; "
                                      "ls -l /proc/$$/fd/ | sed -n 's/.* \\([0-9]*\\) -> /fd \\1 -> /p'"));
    ASSERT_TRUE(platform.Shell(program, kSwShowMinimized));
    const auto trace = waitForFile(out);
    ::close(leaky);
    ::unsetenv("QUILLOP_TEST_MARK");
    ASSERT_TRUE(trace);
    EXPECT_NE(trace->find("env=inherited\n"), std::string::npos) << *trace;
    EXPECT_EQ(trace->find("ppid=" + std::to_string(::getpid()) + "\n"), std::string::npos) << *trace;
    EXPECT_EQ(trace->find("sid=" + std::to_string(::getsid(0)) + "\n"), std::string::npos) << *trace;
    EXPECT_NE(trace->find("fd 0 -> /dev/null"), std::string::npos) << *trace;
    EXPECT_EQ(trace->find(marker), std::string::npos) << *trace;
    EXPECT_EQ(trace->find(lock.path()), std::string::npos) << *trace;
    // The one child we forked has been reaped; the program belongs to another parent.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ShellLaunchTest, ShellMetacharactersStartNothing) {
    const std::string ran = dir / "x-ran";
    writeScript(dir / "x", traceCommand(ran, "echo \"$@\""));
    const std::string pwned = dir / "pwned";
    const struct {
        std::string line;
        bool starts;
    } cases[] = {
        {dir / "x; touch " + pwned, false},
        {dir / "x;touch " + pwned, false},
        {"$(touch " + pwned + ")", false},
        {"`touch " + pwned + "`", false},
        // x itself, with the rest as its arguments
        {dir / "x && touch " + pwned, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(platform.Shell(c.line, kSwShowMinimized), c.starts);
    }
    EXPECT_EQ(waitForFile(ran), "&& touch " + pwned + "\n");
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(readFile(pwned));
}

TEST_F(ShellLaunchTest, WhatCannotBeStartedIsReportedAsFailure) {
    writeFile(dir / "notes.txt", "just text\n", 0644);
    writeFile(dir / "marked.txt", "text with an execute bit\n", 0755);
    writeFile(dir / "no-interpreter", "#!/nonexistent/interpreter\n", 0755);
    std::filesystem::create_directory(dir / "folder");
    for (const std::string& line : {dir / "missing", dir / "notes.txt", dir / "marked.txt", dir / "no-interpreter",
                                    dir / "folder", std::string("no-such-program-anywhere --x"), std::string()}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(platform.Shell(line, kSwShowMinimized));
    }
}

TEST_F(ShellLaunchTest, BareNameIsFoundOnPath) {
    std::filesystem::create_directory(dir / "bin");
    const std::string out = dir / "trace";
    writeScript(dir / "bin/quillop-test-tool", traceCommand(out, "echo \"$1\""));
    test::PathPrefix path(dir / "bin");
    ASSERT_TRUE(platform.Shell("quillop-test-tool hello", kSwShowMinimized));
    EXPECT_EQ(waitForFile(out), "hello\n");
}

// --- association-open -------------------------------------------------------

class AssociationOpenTest : public ShellLaunchTest {
protected:
    AssociationOpenTest() : path_(dir / "bin") {}
    void SetUp() override {
        std::filesystem::create_directory(dir / "bin");
        writeScript(dir / "bin/xdg-open", traceCommand(opened, "pwd -P; for a in \"$@\"; do echo \"$a\"; done"));
        std::filesystem::create_directory(workDir);
    }
    std::string workDir = dir / "work dir";
    std::string opened = dir / "opened";

private:
    test::PathPrefix path_;
};

TEST_F(AssociationOpenTest, DocumentsAndFoldersGoToTheDesktopOpener) {
    writeFile(dir / "my notes.txt", "text\n");
    writeFile(dir / "marked.txt", "text with an execute bit\n", 0755);
    std::filesystem::create_directory(dir / "a folder");
    for (const std::string& file : {dir / "my notes.txt", dir / "marked.txt", dir / "a folder", dir / "missing.pdf"}) {
        SCOPED_TRACE(file);
        std::filesystem::remove(opened);
        platform.ShellExecuteA(kForm1Window, "open", file, nullptr, workDir, kSwShow);
        EXPECT_EQ(waitForFile(opened), workDir + "\n" + file + "\n");
    }
}

TEST_F(AssociationOpenTest, ProgramIsStartedInTheDirectory) {
    const std::string out = dir / "trace";
    writeScript(dir / "my program", traceCommand(out, "pwd -P; echo \"$#\""));
    platform.ShellExecuteA(kForm1Window, "open", dir / "my program", nullptr, workDir, kSwShow);
    EXPECT_EQ(waitForFile(out), workDir + "\n0\n");
    EXPECT_FALSE(readFile(opened));
}

TEST_F(AssociationOpenTest, DesktopEntryStartsItsApplication) {
    const std::string out = dir / "trace";
    writeScript(dir / "bin/quillop-entry-app", traceCommand(out, "pwd -P; echo \"$#\""));
    const std::string entry = dir / "tool.desktop";
    writeFile(entry, "[Desktop Entry]\nType=Application\nName=Tool\nExec=quillop-entry-app %F\nTerminal=false\n");
    platform.ShellExecuteA(kForm1Window, "open", entry, nullptr, workDir, kSwShow);
    EXPECT_EQ(waitForFile(out), workDir + "\n0\n");
    EXPECT_FALSE(readFile(opened));
    // Started detached: no child of ours is left to reap.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
}

// Started programs are in a session of their own, so a signal to the
// launcher's process group (a Ctrl+C in its terminal) does not reach them,
// and they start with no signal ignored, whatever the launcher ignores.
TEST_F(AssociationOpenTest, ProgramsOfEveryRouteAreDetachedWithDefaultSignals) {
    const std::string out = dir / "trace";
    const std::string probe =
        traceCommand(out, "echo \"sid=$(cut -d' ' -f6 /proc/$$/stat)\"; grep SigIgn /proc/$$/status");
    writeScript(dir / "bin/quillop-entry-app", probe);
    writeScript(dir / "direct", probe);
    const std::string entry = dir / "tool.desktop";
    writeFile(entry, "[Desktop Entry]\nType=Application\nName=Tool\nExec=quillop-entry-app\nTerminal=false\n");
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGQUIT, &ignore, &before), 0);
    for (const std::string& target : {entry, dir / "direct"}) {
        SCOPED_TRACE(target);
        std::filesystem::remove(out);
        platform.ShellExecuteA(kForm1Window, "open", target, nullptr, workDir, kSwShow);
        const auto trace = waitForFile(out);
        ASSERT_TRUE(trace);
        EXPECT_EQ(trace->find("sid=" + std::to_string(::getsid(0)) + "\n"), std::string::npos) << *trace;
        EXPECT_NE(trace->find("SigIgn:\t0000000000000000\n"), std::string::npos) << *trace;
    }
    ::sigaction(SIGQUIT, &before, nullptr);
}

TEST_F(AssociationOpenTest, BrokenDesktopEntryIsOpenedAsAFile) {
    const std::string entry = dir / "broken.desktop";
    writeFile(entry, "this is not a desktop entry\n");
    platform.ShellExecuteA(kForm1Window, "open", entry, nullptr, workDir, kSwShow);
    EXPECT_EQ(waitForFile(opened), workDir + "\n" + entry + "\n");
}

TEST(ProgramFile, OnlyExecutableElfOrScriptFiles) {
    test::TempDir dir;
    writeScript(dir / "script", "true");
    writeFile(dir / "unmarked-script", "#!/bin/sh\n", 0644);
    writeFile(dir / "marked-text", "hello", 0755);
    writeFile(dir / "short", "#", 0755);
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "script", dir / "link");
    const struct {
        std::string path;
        bool program;
    } cases[] = {{dir / "script", true},           {dir / "link", true},         {"/bin/sh", true},
                 {dir / "unmarked-script", false}, {dir / "marked-text", false}, {dir / "short", false},
                 {dir / "folder", false},          {dir / "missing", false},     {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(isProgramFile(c.path), c.program);
    }
}

}  // namespace
}  // namespace qlp::linux_desktop
