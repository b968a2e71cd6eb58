#pragma once
// File access of the tracking timer, replaceable so the controller runs without a disk.

#include <cstddef>
#include <optional>
#include <string>

namespace vantora {

class TrackingFiles {
public:
    virtual ~TrackingFiles() = default;
    // True when a file (not a folder) exists at path.
    virtual bool Exists(const std::string& path) = 0;
    // At most maxBytes from the start of the file, opened for reading while other programs may
    // hold it open for reading and writing. Empty when it cannot be opened.
    virtual std::optional<std::string> ReadPrefix(const std::string& path, std::size_t maxBytes) = 0;
};

}  // namespace vantora
