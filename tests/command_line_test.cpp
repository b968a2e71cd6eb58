// The two options the program answers without starting; anything else starts it as before.

#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantora {
namespace {

TEST(CommandLine, AnswersVersionAndHelpInOneLineAndStartsOtherwise)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string startsWith;  // empty: the program starts
    };
    const std::vector<Case> cases{
        {{}, ""},
        {{"-platform", "offscreen"}, ""},  // the toolkit's own
        {{"--versions"}, ""},
        {{"--version"}, "vantora 1.2.3"},
        {{"-style", "fusion", "--help"}, "Usage: vantora [--version | --help]"},
        {{"--help", "--version"}, "Usage: "},
        {{"--version", "--help"}, "vantora 1.2.3"},
    };
    for (const Case& c : cases) {
        const auto reply = AnswerCommandLine(c.arguments, "1.2.3");
        ASSERT_EQ(reply.has_value(), !c.startsWith.empty()) << c.startsWith;
        if (!reply)
            continue;
        EXPECT_EQ(reply->line.rfind(c.startsWith, 0), 0u) << reply->line;
        EXPECT_EQ(reply->line.find('\n'), std::string::npos) << reply->line;
        EXPECT_EQ(reply->exitCode, 0);
    }
}

}  // namespace
}  // namespace vantora
