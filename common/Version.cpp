#include "common/Version.h"

namespace cw {

int versionMajor() {
    return CW_VERSION_MAJOR;
}
int versionMinor() {
    return CW_VERSION_MINOR;
}
int versionBuild() {
    return CW_VERSION_BUILD;
}

std::string versionText() {
    return "Version " + std::to_string(versionMajor()) + "." + std::to_string(versionMinor()) +
           "  (Build: " + std::to_string(versionBuild()) + ")";
}

} // namespace cw
