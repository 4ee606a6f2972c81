#pragma once
// Starting programs without a shell: detached, with the user's environment
// and none of the launcher's file descriptors.

#include <optional>
#include <string>
#include <vector>

namespace qlp::linux_desktop {

// A regular file the user may execute that is an ELF binary or a "#!" script.
// Other files with an execute bit (documents on a FAT stick, say) are not
// programs: they are opened, never run.
bool isProgramFile(const std::string& path);

// The program file that a bare name denotes on PATH.
std::optional<std::string> findProgramOnPath(const std::string& name);

// In a child about to run another program: every signal back to its default
// action and none blocked, as ignored signals and the mask survive exec.
// Async-signal-safe, for the time between fork and exec.
void resetSignals();

// Starts `program` with `arguments` (argv[0] is the program) in `directory`
// (empty: ours). The child is a grandchild in a session of its own, so it is
// never left as our zombie and outlives us. Standard input is /dev/null,
// standard output and error are shared, nothing else is passed on.
// Returns 0 once the program runs, else the errno of the failed step.
int startProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory);

}  // namespace qlp::linux_desktop
