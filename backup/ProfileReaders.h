#pragma once
// The three ways cwb reads its profile: first line, whole body, and the list sections that
// become directories to scan or files to back up.
#include <string>
#include <vector>

namespace cwb {

// <appDir>/cwkcon32.dll, without doubling the separator at the root.
std::string profilePath(const std::string& appDir);

// First line of a section of the profile beside the program; "" when missing or empty.
std::string GetProfileFirstLine(const std::string& appDir, const std::string& section);

// The section body without its last NUL. False (out untouched) when the section is missing:
// start-up treats that as a failed step.
bool GetProfileBody(const std::string& profilePath, const std::string& section, std::string& out);

// What FillListBox adds for a list section: "Application" lines joined to the application
// directory, "Windows" and "System" lines joined to those directories. The empty last entry
// of the list gives the base directory itself with a trailing "/". Other sections: nothing.
std::vector<std::string> listSectionPaths(const std::string& profilePath,
                                          const std::string& section, const std::string& appDir);

// The marker entry that stands for a profile directory in the file list.
std::string markerEntry(const std::string& dir);

// "EmptyDir" read as a number equals 1; a value that is not a number counts as a failed test,
// so the marker is added then too.
bool emptyDirMarkersWanted(const std::string& value);

} // namespace cwb
