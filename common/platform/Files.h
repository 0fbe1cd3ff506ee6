#pragma once
// File system queries and operations, with the attribute rules of the kit:
// a name beginning with "." is hidden; anything that is not a regular file or directory
// (socket, FIFO, device) is a system file, never listed and never archived.
#include <cstdint>
#include <string>
#include <vector>

namespace cw::files {

// Attribute filter bits of a file list (the classic file list control's properties).
struct AttrFilter {
    bool normal = true;
    bool archive = true;
    bool readOnly = true;
    bool hidden = false;
    bool system = false;
};

bool isHiddenName(const std::string& name);

// A regular file (symbolic links followed) whose name does not begin with ".".
bool isOrdinaryFile(const std::string& path);
// A file or directory that exists and is neither hidden nor a system file.
bool existsAsFileOrDirectory(const std::string& path);
bool isDirectory(const std::string& path);

// Regular files of dir whose names match pattern (";"-separated wildcards, "*" and "?",
// compared without regard to case) and pass the filter; sorted by name (byte order,
// case-insensitive first, then case-sensitive for ties). Throws PlatformError
// (kErrPathNotFound) when dir cannot be listed.
std::vector<std::string> listFiles(const std::string& dir, const std::string& pattern,
                                   const AttrFilter& filter = {});
// The same files with their lengths, found by the same look at each file.
struct ListedFile {
    std::string name;
    std::int64_t size = 0;
};
std::vector<ListedFile> listFilesWithSizes(const std::string& dir, const std::string& pattern,
                                           const AttrFilter& filter = {});
// Sub-directories of dir (not hidden unless asked), sorted like listFiles. Throws like listFiles.
std::vector<std::string> listDirectories(const std::string& dir, bool includeHidden = false);
bool matchesPattern(const std::string& name, const std::string& pattern);

// Length in bytes; -1 when the file cannot be examined.
std::int64_t fileLength(const std::string& path);

// Create one directory level. Throws PlatformError: kErrPathFileAccess when it exists,
// kErrPathNotFound when the parent is missing, kErrFileIo otherwise.
void makeDirectory(const std::string& path);
// Delete a file. Returns false (and leaves it) when it cannot be deleted.
bool removeFile(const std::string& path);
// Copy src over dst (replacing it). Throws PlatformError: kErrPathNotFound when src is
// missing, kErrFileIo for any other failure. Never leaves a half-written dst in place.
void copyFile(const std::string& src, const std::string& dst);
// Whether the file can be opened for reading.
bool isReadable(const std::string& path);
// Whether a file can be created in dir.
bool isWritableDirectory(const std::string& dir);
// Whether the file at path can be replaced or deleted.
bool canReplace(const std::string& path);

} // namespace cw::files
