#include "Volumes.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <sstream>
#include <unistd.h>
#include <zlib.h>

namespace cw::zip {

namespace {
constexpr const char* kRecordPrefix = "Caskwell volumes:";
constexpr long long kSampleBytes = 64 * 1024;
} // namespace

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

bool sampleVolume(int fd, long long size, uint32_t& crc) {
    std::vector<unsigned char> buf(static_cast<size_t>(std::min(size, kSampleBytes)));
    uLong c = crc32(0, nullptr, 0);
    for (long long at : {0LL, size - static_cast<long long>(buf.size())}) {
        if (pread(fd, buf.data(), buf.size(), at) != static_cast<ssize_t>(buf.size()))
            return false;
        c = crc32(c, buf.data(), static_cast<uInt>(buf.size()));
    }
    crc = static_cast<uint32_t>(c);
    return true;
}

std::string volumeRecord(const std::vector<VolumeMark>& earlier) {
    std::string s = kRecordPrefix;
    for (const auto& v : earlier) {
        char item[48];
        std::snprintf(item, sizeof item, " %lld/%08" PRIx32, v.size, v.sample);
        s += item;
    }
    return s;
}

bool parseVolumeRecord(const std::string& comment, std::vector<VolumeMark>& earlier) {
    if (comment.rfind(kRecordPrefix, 0) != 0)
        return false;
    std::istringstream in(comment.substr(std::char_traits<char>::length(kRecordPrefix)));
    std::vector<VolumeMark> marks;
    std::string item;
    while (in >> item) {
        VolumeMark m;
        char slash = 0;
        unsigned long long size = 0;
        unsigned sample = 0;
        int used = 0;
        if (std::sscanf(item.c_str(), "%llu%c%8x%n", &size, &slash, &sample, &used) != 3 ||
            slash != '/' || used != static_cast<int>(item.size()) || size == 0 ||
            size > (1ULL << 50))
            return false;
        marks.push_back({static_cast<long long>(size), sample});
    }
    if (marks.empty())
        return false;
    earlier = std::move(marks);
    return true;
}

} // namespace cw::zip
