#include "tests/support/Tree.h"

#include "tests/support/TestEnv.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace cw::test {

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string out(n, '\0');
    for (auto& c : out)
        c = static_cast<char>(gen() & 0xFF);
    return out;
}

void writeFileAs(const std::string& path, const std::string& content, mode_t mode, time_t mtime) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    ::chmod(path.c_str(), mode);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {mtime, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::vector<std::string> filesBelow(const std::string& dir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        out.push_back(std::filesystem::relative(it->path(), dir).string() +
                      (it->is_directory() && !it->is_symlink() ? "/" : ""));
    std::sort(out.begin(), out.end());
    return out;
}

void expectSameFile(const std::string& original, const std::string& copy) {
    SCOPED_TRACE(copy);
    ASSERT_TRUE(std::filesystem::is_regular_file(copy));
    EXPECT_EQ(TestEnv::readFile(copy), TestEnv::readFile(original));
    struct stat a {
    }, b{};
    ::stat(original.c_str(), &a);
    ::stat(copy.c_str(), &b);
    EXPECT_EQ(a.st_mode & 07777, b.st_mode & 07777);
    EXPECT_EQ(a.st_mtime, b.st_mtime);
}

} // namespace cw::test
