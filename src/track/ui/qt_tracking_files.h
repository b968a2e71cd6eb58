#pragma once
// The tracking file on disk, read while the planning program may hold it open for writing.

#include "track/tracking_files.h"

namespace vantora {

class QtTrackingFiles : public TrackingFiles {
public:
    bool Exists(const std::string& path) override;
    // Only regular files are opened: opening a FIFO or a device could block the GUI thread.
    std::optional<std::string> ReadPrefix(const std::string& path, std::size_t maxBytes) override;
};

}  // namespace vantora
