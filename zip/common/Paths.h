#pragma once
// Path handling shared by both libraries: lexical normalisation of the names a caller gives,
// the safety check of names read from a set, and directory walking that never follows a
// symbolic link below the destination.
#include <string>
#include <string_view>
#include <vector>

namespace cw::zip {

// Splits at "/", dropping empty and "." components. ".." is kept for the caller to judge.
std::vector<std::string> splitPath(std::string_view path);
std::string joinPath(const std::vector<std::string>& parts, size_t count = ~size_t{0});

// An absolute path with "." and ".." resolved lexically; a relative path is taken from the
// current directory.
std::string absolutePath(std::string_view path);

// The components of a stored entry name when it is safe to write below a destination:
// relative, no "..", no NUL, not empty. "\" counts as a separator too, since sets made on
// other systems use it. Returns false for an unsafe name.
bool safeEntryParts(std::string_view name, std::vector<std::string>& parts,
                    bool backslashSeparates = true);

// Opens (creating when missing) the directory parts[0..count) below the directory fd base,
// one level at a time, refusing symbolic links and non-directories on the way. Returns the
// new descriptor or -1 with errno set: ELOOP for a symbolic link on the way, ENOTDIR for
// another file in the way. When made is given, the path (below base, "/"-joined) of each
// directory this call created is appended to it.
int openDirBelow(int base, const std::vector<std::string>& parts, size_t count, bool create,
                 std::vector<std::string>* made = nullptr);

// Creates every missing directory of an absolute path (mkdir -p); false on failure.
bool makeDirs(const std::string& path);

std::string dirName(const std::string& path);
std::string baseName(const std::string& path);

} // namespace cw::zip
