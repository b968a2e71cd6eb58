#pragma once
// Where the planning programs write their tracking files, when the settings name no folder.

#include <functional>
#include <string>

namespace vantora {

struct TrackingFolders {
    std::string MoonSked;  // ends with the platform's separator
    std::string WSJT;      // ends with the platform's separator
};

// What the defaults depend on; injectable so that tests choose the answers.
struct FolderEnvironment {
    bool windows = false;
    std::string home;                                        // home folder (not Windows)
    std::function<bool(const std::string&)> folderExists;  // true for an existing folder
};

// The running system: the platform, $HOME and the real file system.
FolderEnvironment SystemFolderEnvironment();

TrackingFolders DefaultTrackingFolders(const FolderEnvironment& environment);

}  // namespace vantora
