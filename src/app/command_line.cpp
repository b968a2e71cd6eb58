#include "app/command_line.h"

namespace vantora {

std::optional<CommandLineReply> AnswerCommandLine(const std::vector<std::string>& arguments,
                                                  const std::string& version)
{
    for (const std::string& argument : arguments) {
        if (argument == "--version")
            return CommandLineReply{"vantora " + version, 0};
        if (argument == "--help")
            return CommandLineReply{"Usage: vantora [--version | --help]; the environment variables VANTORA_SETTINGS, "
                                    "VANTORA_COM<n> and VANTORA_TCP_PORT are described in vantora(1)",
                                    0};
    }
    return std::nullopt;
}

}  // namespace vantora
