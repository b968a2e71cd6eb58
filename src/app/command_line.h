#pragma once
// The program's two command-line options. Everything else on the command line is left to the
// windowing toolkit, as before.

#include <optional>
#include <string>
#include <vector>

namespace vantora {

struct CommandLineReply {
    std::string line;  // printed on standard output, followed by a newline
    int exitCode = 0;
};

// "--version": "vantora <version>"; "--help": one line of usage. The first of them on the
// command line wins; nothing when neither is there (the program then starts).
std::optional<CommandLineReply> AnswerCommandLine(const std::vector<std::string>& arguments,
                                                  const std::string& version);

}  // namespace vantora
