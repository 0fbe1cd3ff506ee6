// libFuzzer target over the profile reader: any bytes as a profile file read into a typed
// profile without harm, and a profile that was read and could be written reads back the
// same.
#include "common/profile/Profile.h"
#include "common/profile/ProfileFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string g_dir;

void writeAll(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_dir.empty()) {
        char tmpl[] = "/tmp/cwfuzz-profile-XXXXXX";
        if (!mkdtemp(tmpl))
            std::abort();
        g_dir = tmpl;
        std::atexit([] {
            unlink((g_dir + "/cwkcon32.dll").c_str());
            unlink((g_dir + "/copy.dll").c_str());
            rmdir(g_dir.c_str());
        });
    }
    const std::string path = g_dir + "/cwkcon32.dll", copy = g_dir + "/copy.dll";
    writeAll(path, data, size);
    const cw::profile::Profile read = cw::profile::read(path);
    // The raw section reader with a small buffer, as a truncating reader would use it.
    char small[16];
    (void)cw::profile::GetPrivateProfileSectionA("Application", small, sizeof small, path.c_str());

    unlink(copy.c_str());
    if (cw::profile::write(read, copy) && !(read == cw::profile::read(copy)))
        std::abort(); // what was read did not survive a write
    return 0;
}
