#include "Volumes.h"

#include <cctype>
#include <cstdio>

namespace cw::zip {

std::string volumeStem(const std::string& setPath) {
    size_t n = setPath.size();
    if (n >= 4 && setPath[n - 4] == '.' && std::tolower(setPath[n - 3]) == 'b' &&
        std::tolower(setPath[n - 2]) == 'k' && std::tolower(setPath[n - 1]) == 's')
        return setPath.substr(0, n - 4);
    return setPath;
}

std::string volumePath(const std::string& setPath, int disk) {
    if (disk <= 0)
        return setPath;
    char ext[16];
    std::snprintf(ext, sizeof ext, ".b%02d", disk);
    return volumeStem(setPath) + ext;
}

} // namespace cw::zip
