#include "tests/support/FakeDrives.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace cw::test {

namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes as octal.
std::string escaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const char* digits = "01234567";
            auto u = static_cast<unsigned char>(c);
            out += '\\';
            out += digits[(u >> 6) & 7];
            out += digits[(u >> 3) & 7];
            out += digits[u & 7];
        } else {
            out += c;
        }
    }
    return out;
}

void writeText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

} // namespace

FakeDrives::FakeDrives() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/cwdrives-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create the drive fixture");
    root_ = tmpl;
    entries_.push_back({"/", drives::kFixed});
    write();
}

FakeDrives::~FakeDrives() {
    drives::resetSystemRoots();
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void FakeDrives::add(const std::string& mountPoint, int driveType) {
    entries_.push_back({mountPoint, driveType});
    write();
}

void FakeDrives::setMountInfo(const std::string& text) {
    writeText(root_ + "/proc/self/mountinfo", text);
    drives::setSystemRoots(root_, root_);
}

void FakeDrives::write() {
    std::error_code ec;
    fs::remove_all(root_ + "/sys", ec);
    std::string table;
    int id = 20;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto& e = entries_[i];
        std::string minor = std::to_string(16 * i);
        std::string dev = "8:" + minor;
        std::string fsType = "ext4", source = "/dev/sd" + std::string(1, char('a' + i % 26));
        switch (e.type) {
        case drives::kCdRom:
            dev = "11:" + std::to_string(i);
            fsType = "iso9660";
            source = "/dev/sr" + std::to_string(i);
            break;
        case drives::kRemote:
            dev = "0:" + std::to_string(50 + i);
            fsType = "nfs4";
            source = "server:/export" + std::to_string(i);
            break;
        case drives::kRemovable:
            fsType = "vfat";
            break;
        default:
            break;
        }
        if (e.type == drives::kFixed || e.type == drives::kRemovable)
            writeText(root_ + "/sys/dev/block/" + dev + "/removable",
                      e.type == drives::kRemovable ? "1\n" : "0\n");
        table += std::to_string(id + static_cast<int>(i)) + " 1 " + dev + " / " +
                 escaped(e.mountPoint) + " rw,relatime shared:1 - " + fsType + " " + source +
                 " rw\n";
    }
    setMountInfo(table);
}

} // namespace cw::test
