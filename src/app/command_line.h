#pragma once
// The program's own command-line options (--version, --help) and the windowing toolkit's options
// that the program passes on. Anything else is refused with the usage on standard error.

#include <optional>
#include <string>
#include <vector>

namespace vantora {

struct CommandLineReply {
    std::string text;            // printed as it is; ends with a newline
    int exitCode = 0;            // 0 for --version and --help, 2 for a refused command line
    bool standardError = false;  // true: printed on standard error instead of standard output
};

// "--version": "vantora <version>"; "--help": the usage, the options and the environment
// variables read. The first of them on the command line wins. An argument that is neither one
// of them nor an option of the toolkit (with its value) gives the usage on standard error and
// exit code 2. Nothing when the program is to start.
std::optional<CommandLineReply> AnswerCommandLine(const std::vector<std::string>& arguments,
                                                  const std::string& version);

// The text --help prints.
std::string CommandLineUsage();

}  // namespace vantora
