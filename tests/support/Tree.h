#pragma once
// Trees of files for round trips: contents that do not compress, files with a chosen mode
// and modification time, and the check that a copy matches its original.
#include <ctime>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cw::test {

// n bytes that do not compress; the same for the same seed.
std::string randomBytes(std::size_t n, unsigned seed);
// Writes path (making its folders) with the content, permission bits and modification time.
void writeFileAs(const std::string& path, const std::string& content, mode_t mode, time_t mtime);
// Every entry below dir: relative paths, sorted, folders ending with "/".
std::vector<std::string> filesBelow(const std::string& dir);
// Fails the test unless copy is a regular file with the original's bytes, permission bits
// and modification time.
void expectSameFile(const std::string& original, const std::string& copy);

} // namespace cw::test
