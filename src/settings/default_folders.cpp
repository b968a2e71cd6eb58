#include "settings/default_folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vantora {

FolderEnvironment SystemFolderEnvironment()
{
    FolderEnvironment environment;
#ifdef _WIN32
    environment.windows = true;
#endif
    const char* home = std::getenv("HOME");
    environment.home = (home != nullptr && *home != '\0') ? home : "/";
    environment.folderExists = [](const std::string& path) {
        std::error_code error;
        const std::u8string utf8(path.begin(), path.end());
        return std::filesystem::is_directory(std::filesystem::path(utf8), error);
    };
    return environment;
}

TrackingFolders DefaultTrackingFolders(const FolderEnvironment& environment)
{
    const auto exists = [&](const std::string& path) {
        return environment.folderExists && environment.folderExists(path);
    };
    if (environment.windows) {
        // The 32-bit planning programs install under "Program Files (x86)" on 64-bit Windows.
        if (exists("C:\\Program Files (x86)")) {
            return {"C:\\Program Files (x86)\\MoonSked\\", "C:\\Program Files (x86)\\WSJT9\\"};
        }
        return {"C:\\Program Files\\MoonSked\\", "C:\\Program Files\\WSJT9\\"};
    }
    std::string home = environment.home;
    while (!home.empty() && home.back() == '/') {
        home.pop_back();
    }
    // MoonSked runs under Wine; WSJT-X is native and writes into its data folder.
    const std::string drive = home + "/.wine/drive_c/";
    const std::string programs =
        exists(drive + "Program Files (x86)") ? "Program Files (x86)" : "Program Files";
    return {drive + programs + "/MoonSked/", home + "/.local/share/WSJT-X/"};
}

}  // namespace vantora
