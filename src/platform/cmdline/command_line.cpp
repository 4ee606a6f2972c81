#include "platform/cmdline/command_line.h"

namespace qlp::cmdline {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> splitArguments(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;  // "" is an empty argument
        } else if (isBlank(c) && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::optional<Command> splitCommandLine(const std::string& line, const IsExecutable& isExecutable,
                                        const FindOnPath& findOnPath) {
    if (line.empty()) return std::nullopt;
    if (isExecutable(line)) return Command{line, {}};

    for (std::size_t end = line.size(); end-- > 1;) {
        if (!isBlank(line[end])) continue;
        std::string prefix = line.substr(0, end);
        if (isExecutable(prefix)) return Command{std::move(prefix), splitArguments(line.substr(end + 1))};
    }

    std::vector<std::string> words = splitArguments(line);
    if (words.empty() || words.front().empty()) return std::nullopt;
    std::string program = std::move(words.front());
    words.erase(words.begin());
    // A word with a separator is a path of its own; only a bare name is looked up.
    if (program.find('/') != std::string::npos) {
        if (!isExecutable(program)) return std::nullopt;
        return Command{std::move(program), std::move(words)};
    }
    std::optional<std::string> found = findOnPath(program);
    if (!found) return std::nullopt;
    return Command{std::move(*found), std::move(words)};
}

}  // namespace qlp::cmdline
