#include "web/ui/password_command.h"

#include "web/new_password.h"
#include "web/ui/web_crypto.h"

#include <QtGlobal>

#include <optional>
#include <string>

#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

namespace vantora {

namespace {

// Keeps what is typed off the screen while it lives, when the input is a terminal.
class NoEcho {
public:
    explicit NoEcho(std::FILE* input)
    {
#ifdef Q_OS_UNIX
        m_fd = fileno(input);
        if (isatty(m_fd) && tcgetattr(m_fd, &m_saved) == 0) {
            termios quiet = m_saved;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            m_active = tcsetattr(m_fd, TCSAFLUSH, &quiet) == 0;
        }
#else
        (void)input;
#endif
    }
    ~NoEcho()
    {
#ifdef Q_OS_UNIX
        if (m_active)
            tcsetattr(m_fd, TCSAFLUSH, &m_saved);
#endif
    }
    bool active() const
    {
        return m_active;
    }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    bool m_active = false;
#ifdef Q_OS_UNIX
    int m_fd = -1;
    termios m_saved{};
#endif
};

// One line without its line end; nothing at the end of the input. At most 4096 bytes are kept.
std::optional<std::string> ReadLine(std::FILE* input)
{
    std::string line;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(input)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < 4096)
            line += static_cast<char>(c);
    }
    if (!any)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

}  // namespace

int RunPasswordCommand(const PasswordOption& option, KeyValueStore& store, std::FILE* input, std::FILE* messages)
{
    if (!option.role) {
        std::fprintf(messages, "%s\n", kPasswordOptionUsage);
        return 2;
    }
    const WebRole role = *option.role;
    std::optional<std::string> first;
    std::optional<std::string> second;
    {
        NoEcho quiet(input);
        std::fprintf(messages, "New %s password: ", role == WebRole::Operator ? "operator" : "viewer");
        std::fflush(messages);
        first = ReadLine(input);
        if (quiet.active())
            std::fprintf(messages, "\n");
        std::fprintf(messages, "Repeat: ");
        std::fflush(messages);
        second = ReadLine(input);
        if (quiet.active())
            std::fprintf(messages, "\n");
    }
    if (!first || !second) {
        std::fprintf(messages, "vantora: the password must be typed twice\n");
        return 1;
    }
    const NewPasswordCheck check = CheckNewPassword(role, *first, *second);
    if (check == NewPasswordCheck::Mismatch || check == NewPasswordCheck::TooShort) {
        std::fprintf(messages, "vantora: %s\n", std::string(NewPasswordText(check)).c_str());
        return 1;
    }
    std::string hash;
    if (check == NewPasswordCheck::Store) {
        hash = HashWebPassword(*first);
        if (hash.empty()) {
            std::fprintf(messages, "vantora: the password could not be hashed\n");
            return 1;
        }
    }
    if (!SaveWebPasswordHash(store, role, hash)) {
        std::fprintf(messages, "vantora: The password could not be stored\n");
        return 1;
    }
    std::fprintf(messages, "%s\n",
                 check == NewPasswordCheck::RemoveViewer ? "Viewer access removed" : "Password stored");
    return 0;
}

}  // namespace vantora
