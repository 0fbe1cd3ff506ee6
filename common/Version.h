#pragma once
// The kit's version, compiled in from the project version (1.0.48).
#include <string>

namespace cw {

int versionMajor();
int versionMinor();
int versionBuild();
// "Version 1.0  (Build: 48)"
std::string versionText();

} // namespace cw
