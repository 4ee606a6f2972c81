#pragma once
// Splits a slot's command line into a program and its arguments, the way an
// unquoted command line is read on the desktop the launcher comes from: a
// path with blanks needs no quotes when it names a program. Never involves a
// shell. Pure: what is an executable file, and what PATH holds, is asked of
// the caller.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qlp::cmdline {

struct Command {
    std::string program;  // a path to start as it stands
    std::vector<std::string> arguments;

    bool operator==(const Command&) const = default;
};

// Whether a path names a file the user may execute.
using IsExecutable = std::function<bool(const std::string& path)>;
// The executable that a bare name denotes on PATH, if any.
using FindOnPath = std::function<std::optional<std::string>(const std::string& name)>;

// In order: the whole line names an executable (no arguments); else the
// longest prefix ending before a blank that names one, the rest split into
// arguments; else the first word, a path or a name looked up on PATH.
// nullopt when no program is found.
std::optional<Command> splitCommandLine(const std::string& line, const IsExecutable& isExecutable,
                                        const FindOnPath& findOnPath);

// Words separated by blanks; double quotes group blanks into a word and are
// dropped. An unclosed quote runs to the end of the line.
std::vector<std::string> splitArguments(const std::string& text);

}  // namespace qlp::cmdline
