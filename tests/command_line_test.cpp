// The options the program answers without starting, the toolkit's options it passes on, and the
// refusal of anything else.

#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantora {
namespace {

TEST(CommandLine, AnswersVersionAndHelpAndStartsWithTheToolkitsOptions)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string startsWith;  // empty: the program starts
    };
    const std::vector<Case> cases{
        {{}, ""},
        {{"-platform", "offscreen"}, ""},   // the toolkit's own
        {{"--platform", "offscreen"}, ""},  // which it takes with two dashes too
        {{"-style=fusion", "-reverse"}, ""},
        {{"-display", ":1", "-geometry", "800x600", "-qwindowtitle", "Station", "-session", "abc"}, ""},
        {{"-platform", "--version"}, ""},  // the value of -platform, not an option
        {{"--version"}, "vantora 1.2.3\n"},
        {{"-style", "fusion", "--help"}, "Usage: vantora [--version | --help]"},
        {{"--help", "--version"}, "Usage: "},
        {{"--version", "--help"}, "vantora 1.2.3\n"},
        {{"--bogus", "--help"}, "Usage: "},  // help asked for is help given
    };
    for (const Case& c : cases) {
        const auto reply = AnswerCommandLine(c.arguments, "1.2.3");
        ASSERT_EQ(reply.has_value(), !c.startsWith.empty()) << c.startsWith;
        if (!reply)
            continue;
        EXPECT_EQ(reply->text.rfind(c.startsWith, 0), 0u) << reply->text;
        EXPECT_EQ(reply->text.back(), '\n');
        EXPECT_EQ(reply->exitCode, 0);
        EXPECT_FALSE(reply->standardError);
    }
}

TEST(CommandLine, RefusesAnythingElseWithTheUsageOnStandardErrorAndExitCode2)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string named;  // the argument the message names
    };
    const std::vector<Case> cases{
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--versions"}, "unknown option '--versions'"},
        {{"-version"}, "unknown option '-version'"},
        {{"-h"}, "unknown option '-h'"},
        {{"-platform", "offscreen", "--bogus"}, "unknown option '--bogus'"},
        {{"-platform=offscreen"}, "unknown option '-platform=offscreen'"},  // the toolkit would ignore it
        {{"-platform"}, "unknown option '-platform'"},                      // its value is missing
        {{"--"}, "unknown option '--'"},
        {{"-"}, "unexpected argument '-'"},
        {{"settings.conf"}, "unexpected argument 'settings.conf'"},
        {{"--bogus", "--other"}, "unknown option '--bogus'"},
    };
    for (const Case& c : cases) {
        const auto reply = AnswerCommandLine(c.arguments, "1.2.3");
        ASSERT_TRUE(reply.has_value()) << c.named;
        EXPECT_EQ(reply->exitCode, 2) << c.named;
        EXPECT_TRUE(reply->standardError) << c.named;
        EXPECT_EQ(reply->text, "vantora: " + c.named + "\n" + CommandLineUsage());
    }
}

}  // namespace
}  // namespace vantora
