#pragma once
// Error numbers the programs tell apart, and the error type the platform layer throws.
#include <stdexcept>
#include <string>

namespace cw {

// A drive (mount point) that cannot be read: no medium, gone, or refused.
inline constexpr int kErrDeviceUnavailable = 68;
// Creating a directory that already exists.
inline constexpr int kErrPathFileAccess = 75;
// A path that does not exist or cannot be listed.
inline constexpr int kErrPathNotFound = 76;
// Any other failure of a file operation.
inline constexpr int kErrFileIo = 57;

class PlatformError : public std::runtime_error {
public:
    PlatformError(int number, const std::string& what)
        : std::runtime_error(what), number_(number) {}
    int number() const noexcept { return number_; }

private:
    int number_;
};

} // namespace cw
