#pragma once
// The profile as the programs use it: one typed field per section, with one reader and one
// writer of the file (whose layout ProfileFile.h keeps). Section names and values are named
// here once, spelled as the file spells them. Every field keeps "absent from the file" apart
// from its values, because the programs act on absence: cwb shows the close prompt when
// "Startup" is missing, adds empty-directory markers when "EmptyDir" is, and includes hidden
// files unless told "cwNever".
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cw::profile {

// Section names, in the order a build writes them. Readers match them without regard to
// case, so "Longfile" is also what cwb reads.
namespace section {
inline constexpr const char* kDescription = "Description";
inline constexpr const char* kApplication = "Application";
inline constexpr const char* kWindows = "Windows";
inline constexpr const char* kSystem = "System";
inline constexpr const char* kEncrypt = "Encrypt";
inline constexpr const char* kLongNames = "Longfile";
inline constexpr const char* kEmptyDirectories = "EmptyDir";
inline constexpr const char* kHidden = "Hidden";
inline constexpr const char* kCompression = "Compression";
inline constexpr const char* kStructure = "FileStructure";
inline constexpr const char* kSupport = "Support";
inline constexpr const char* kStartup = "Startup";
inline constexpr const char* kCustomCompression = "Customize Compression";
} // namespace section

// The values, compared character for character.
namespace value {
inline constexpr const char* kTrue = "true"; // Encrypt, Longfile
inline constexpr const char* kFalse = "false";
inline constexpr const char* kOne = "1"; // EmptyDir
inline constexpr const char* kZero = "0";
inline constexpr const char* kHiddenYes = "cwYes";
inline constexpr const char* kHiddenNo = "cwNever";
inline constexpr const char* kCompressionNone = "cwCompression_None";
inline constexpr const char* kCompressionMinimum = "cwCompression_Minimum";
inline constexpr const char* kCompressionNormal = "cwCompression_Normal";
inline constexpr const char* kCompressionMaximum = "cwCompression_Maximum";
inline constexpr const char* kStructureRelative = "cwStructure_Relative";
inline constexpr const char* kStructureNone = "cwStructure_None";
inline constexpr const char* kYes = "Yes"; // Startup, Customize Compression
inline constexpr const char* kNo = "No";
} // namespace value

enum class Compression { None, Minimum, Normal, Maximum };

// Each optional field is empty when its section is missing or has no line. A value the
// format does not know reads as "off" (false), except where the programs treat it like a
// missing section (Hidden, Compression, FileStructure, and an EmptyDir that is no number).
struct Profile {
    std::optional<std::string> description;
    // The list sections' lines, in file order (an absent section has none).
    std::vector<std::string> application; // sub-directories of the application directory
    std::vector<std::string> windows;     // files relative to the Windows directory
    std::vector<std::string> system;      // files relative to the System directory
    std::optional<bool> encryptionAllowed;
    std::optional<bool> longNames;
    // "EmptyDir" read as a number (blanks and a "+" allowed): true for 1.
    std::optional<bool> emptyDirectories;
    std::optional<bool> hiddenFiles;
    std::optional<Compression> compression;
    std::optional<bool> relativeStructure;
    std::optional<std::string> support; // web address or telephone text, as typed
    std::optional<bool> startupPrompt;
    std::optional<bool> customCompression;

    bool operator==(const Profile&) const = default;
};

using Section = std::pair<std::string, std::vector<std::string>>;

// Reads the profile at path; a missing or unreadable file gives a profile with every field
// absent. Each body is read through the classic 32,700-character buffer, as before.
Profile read(const std::string& path);
// The sections a build writes, in file order: absent one-line fields as an empty body, and
// "Compression" only when a level is set.
std::vector<Section> sections(const Profile& profile);
// Writes sections(profile) into path (created when missing); false at the first section that
// cannot be written, with lastError() saying why.
bool write(const Profile& profile, const std::string& path);

// The spelling of a compression level, and the level a spelling names.
const char* compressionValue(Compression level);
std::optional<Compression> compressionOf(const std::string& text);
// The EmptyDir rule on one value: true for the number 1, false for any other number, and
// nothing when the text is no number.
std::optional<bool> emptyDirectoriesOf(const std::string& text);

} // namespace cw::profile
