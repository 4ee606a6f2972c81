// Starting programs and opening files.
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "platform/cmdline/command_line.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/services/desktop_entry.h"
#include "platform/linux/services/process_start.h"

namespace qlp::linux_desktop {

namespace {

// The desktop's default application for a file, as the file manager's
// double-click. xdg-open is the desktop's own opener; we start it ourselves so
// it stands in the requested directory without moving the whole process.
void openWithDefaultApplication(const std::string& path, const std::string& directory) {
    if (const auto opener = findProgramOnPath("xdg-open")) {
        if (startProcess(*opener, {path}, directory) == 0) return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

}  // namespace

// The show command has no counterpart a newly started program would honour
// on the Linux desktop; the window appears as its program decides.
void LinuxPlatform::ShellExecuteA(HWND, std::string_view operation, const std::string& file, const char* parameters,
                                  const std::string& directory, int) {
    if (operation != "open" || file.empty()) return;
    const std::string path = file.front() == '/' || directory.empty() ? file : directory + "/" + file;
    if (isProgramFile(path)) {
        startProcess(path, parameters ? cmdline::splitArguments(parameters) : std::vector<std::string>{}, directory);
        return;
    }
    if (isDesktopEntryFile(path) && launchDesktopEntry(path, directory)) return;
    openWithDefaultApplication(path, directory);
}

// Show state 2 (minimised with focus) likewise has no standard request to a
// program that is about to start, so it is not passed on.
bool LinuxPlatform::Shell(const std::string& commandLine, int) {
    const auto command = cmdline::splitCommandLine(commandLine, isProgramFile, findProgramOnPath);
    if (!command) return false;
    return startProcess(command->program, command->arguments, {}) == 0;
}

}  // namespace qlp::linux_desktop
