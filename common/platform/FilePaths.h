#pragma once
// Path notions of the kit on Linux: "/" is the separator and the only drive root.
#include <string>

namespace cw::paths {

inline constexpr char kSep = '/';

// dir + "/" + name, without doubling the separator when dir already ends with one.
std::string join(const std::string& dir, const std::string& name);
// dir with a trailing "/" (unchanged when it already has one).
std::string withTrailingSep(const std::string& dir);
// True for a drive root, which on Linux is "/" alone.
bool isRoot(const std::string& path);
// The last path component ("" for "/").
std::string fileName(const std::string& path);
// Everything before the last component, without a trailing "/" (except "/" itself).
std::string parent(const std::string& path);

// The "Windows directory": the user's home ($HOME, else the password database), no trailing "/".
std::string windowsDirectory();
// The "System directory": $XDG_CONFIG_HOME when set and absolute, else <home>/.config.
std::string systemDirectory();
// The directory holding the C++ runtime this program is linked against (found with dladdr).
std::string runtimeLibraryDirectory();
// The two runtime support files a build copies beside the utilities.
inline constexpr const char* kRuntimeLibrary = "libstdc++.so.6";
inline constexpr const char* kSecondRuntimeFile = "libgcc_s.so.1";

// The directory of the running executable (QCoreApplication::applicationDirPath()).
// Only main() calls this; everything else reads the program's own struct.
std::string executableDirectory();

} // namespace cw::paths
