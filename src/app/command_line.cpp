#include "app/command_line.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace vantora {

namespace {

// The toolkit's options (QGuiApplication, QApplication and the X11 platform), accepted with one
// dash or two, as the toolkit accepts them. Those of the first list take the next argument as
// their value; those of the second take it after "=" (-style and -stylesheet either way).
constexpr std::string_view kToolkitValued[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "session",
                                               "display",
                                               "geometry",
                                               "title",
                                               "icon",
                                               "name",
                                               "visual",
                                               "style",
                                               "stylesheet"};
constexpr std::string_view kToolkitWithEquals[] = {"style", "stylesheet", "qmljsdebugger"};
constexpr std::string_view kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

template <std::size_t N>
bool Contains(const std::string_view (&names)[N], std::string_view name)
{
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// How many arguments, from `index` on, a toolkit option takes: 0 when arguments[index] is none.
std::size_t ToolkitOptionLength(const std::vector<std::string>& arguments, std::size_t index)
{
    std::string_view argument = arguments[index];
    if (argument.size() < 2 || argument[0] != '-')
        return 0;
    argument.remove_prefix(argument[1] == '-' ? 2 : 1);
    if (const auto equals = argument.find('='); equals != std::string_view::npos)
        return Contains(kToolkitWithEquals, argument.substr(0, equals)) ? 1 : 0;
    if (Contains(kToolkitFlags, argument))
        return 1;
    if (Contains(kToolkitValued, argument))
        return index + 1 < arguments.size() ? 2 : 0;
    return 0;
}

}  // namespace

std::string CommandLineUsage()
{
    return "Usage: vantora [--version | --help] [toolkit options such as -platform NAME or -style NAME]\n"
           "       vantora --headless [--settings PATH] [--port DEVICE]\n"
           "       vantora --set-web-password operator|viewer\n"
           "\n"
           "The console for two antenna rotators on one control unit.\n"
           "\n"
           "Options:\n"
           "  --version  print the version and exit\n"
           "  --help     print this text and exit\n"
           "  --set-web-password operator|viewer\n"
           "             read a web console password twice from standard input, store its hash in\n"
           "             the settings file and exit\n"
           "  --headless run the station with no window (vantorad): --settings PATH reads that\n"
           "             settings file, --port DEVICE opens that device as the selected COM port\n"
           "Any other option is refused (exit code 2).\n"
           "\n"
           "Environment:\n"
           "  VANTORA_SETTINGS      the settings file (default ~/.config/Merrow/Vantora.conf)\n"
           "  VANTORA_COM<n>        the device COM n opens, ahead of the settings value Com<n>Device\n"
           "                        and /dev/ttyS<n-1> (for example VANTORA_COM1=/tmp/vantora-com1)\n"
           "  VANTORA_TCP_PORT      the port of the TCP command server instead of 1023\n"
           "  VANTORA_ROTCTLD_PORT  the port of the rotctld server instead of the one set in\n"
           "                        Settings, Network (4533 by default)\n"
           "  VANTORA_WEB_PORT      the web console's port instead of the one set in Settings, Network\n"
           "  VANTORA_MQTT_PORT     the MQTT broker's port instead of the one set in Settings, Network\n"
           "  HOME                  where the default folders of the planning programs' files are\n"
           "  XDG_RUNTIME_DIR       where the socket that keeps one program per settings file lives\n"
           "  NOTIFY_SOCKET         with --headless under systemd: where readiness and the watchdog\n"
           "                        are reported\n"
           "\n"
           "See vantora(1).\n";
}

std::optional<CommandLineReply> AnswerCommandLine(const std::vector<std::string>& arguments,
                                                  const std::string& version)
{
    std::optional<std::string> refused;
    for (std::size_t i = 0; i < arguments.size();) {
        const std::string& argument = arguments[i];
        if (argument == "--version")
            return CommandLineReply{"vantora " + version + "\n", 0, false};
        if (argument == "--help")
            return CommandLineReply{CommandLineUsage(), 0, false};
        if (const std::size_t length = ToolkitOptionLength(arguments, i)) {
            i += length;
            continue;
        }
        if (!refused)
            refused = argument;
        ++i;
    }
    if (!refused)
        return std::nullopt;
    const bool isOption = refused->size() > 1 && (*refused)[0] == '-';
    return CommandLineReply{"vantora: " + std::string(isOption ? "unknown option " : "unexpected argument ") + "'"
                                + *refused + "'\n" + CommandLineUsage(),
                            2, true};
}

}  // namespace vantora
