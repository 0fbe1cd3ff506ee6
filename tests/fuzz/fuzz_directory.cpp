// libFuzzer target over the central-directory reader and the volume record: any bytes, read
// as the end of a last volume, give a location or none, and walking the entries it names
// ends, inside the bytes, whatever the counts and sizes claim.
#include "zip/common/CentralDirectory.h"
#include "zip/common/Volumes.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Bytes : public cw::zip::Source {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    long long size() override { return static_cast<long long>(size_); }
    bool readAt(long long offset, void* buf, size_t n) override {
        if (offset < 0 || static_cast<unsigned long long>(offset) > size_ ||
            n > size_ - static_cast<size_t>(offset))
            return false;
        std::memcpy(buf, data_ + offset, n);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes src(data, size);
    cw::zip::CdLocation loc;
    if (cw::zip::locateCentralDirectory(src, loc)) {
        std::vector<cw::zip::VolumeMark> marks;
        cw::zip::parseVolumeRecord(loc.comment, marks);
        cw::zip::CdReader reader(src, loc.cdLocal, loc.cdSize, loc.entries);
        cw::zip::CdEntry e;
        // Every entry takes at least a fixed header's 46 bytes of the source.
        const size_t most = size / 46 + 1;
        size_t walked = 0;
        while (reader.next(e)) {
            if (++walked > most)
                std::abort(); // more entries than the bytes can hold: the walk did not advance
            (void)e.directory();
            (void)e.mode();
        }
    }
    std::vector<cw::zip::VolumeMark> marks;
    cw::zip::parseVolumeRecord(std::string(reinterpret_cast<const char*>(data), size), marks);
    return 0;
}
