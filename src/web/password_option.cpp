#include "web/password_option.h"

#include "web/new_password.h"

namespace vantora {

std::optional<PasswordOption> FindPasswordOption(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--set-web-password")
            continue;
        PasswordOption option;
        if (i + 1 < arguments.size())
            option.role = ParseRoleName(arguments[i + 1]);
        return option;
    }
    return std::nullopt;
}

}  // namespace vantora
