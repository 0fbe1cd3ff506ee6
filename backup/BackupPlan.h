#pragma once
// What one backup is made of, without windows: the profile beside cwb, the file list as
// start-up made it and the user edited it, the options chosen, and how all of that becomes
// the compression library's settings. The windows show and edit this plan; none reads
// another window's controls.
#include "common/profile/Profile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cwb {

// The levels of the options window's optComp members 0 to 3.
inline constexpr cw::profile::Compression kOptionLevels[4] = {
    cw::profile::Compression::None, cw::profile::Compression::Minimum,
    cw::profile::Compression::Normal, cw::profile::Compression::Maximum};

// The compression library's numbers (zip/README.md, "Options and defaults").
namespace zipcodes {
inline constexpr int kLevelNone = 0;
inline constexpr int kLevelNormal = 1;
inline constexpr int kLevelMinimum = 2;
inline constexpr int kLevelMaximum = 3;
inline constexpr int kStructureNamesOnly = 0;
inline constexpr int kStructureFullPath = 2;
inline constexpr int kSpanDisks = -1;
inline constexpr int kOn = 1;
inline constexpr int kOff = 0;
} // namespace zipcodes

struct BackupPlan {
    cw::profile::Profile profile;

    // The backup file list: files, and "<dir>/(EMPTY)" markers for the scanned directories.
    std::vector<std::string> files;
    // What each entry of files counts for.
    struct Measure {
        std::int64_t size = -1; // the length found when it was listed; -1: not measured
        bool marker = false;
    };
    std::vector<Measure> measures;
    // Kept by every change of the list: the markers, the real files (markers left out) and
    // the bytes of the measured files (those found in folders; the files the profile names
    // in the Windows and System directories are not measured).
    std::int64_t markerCount = 0;
    std::int64_t totalSize = 0;
    std::int64_t shownCount = 0;

    // The options window's choices.
    std::string destination; // the destination folder
    std::string backupName;  // as typed, blanks included
    bool encrypt = false;
    std::string password;
    std::optional<cw::profile::Compression> level;
    bool span = false;

    // <appDir>/cwkcon32.dll, without doubling the separator at the root.
    static std::string profilePath(const std::string& appDir);
    void readProfile(const std::string& appDir);

    // Start-up: the directories whose files are backed up ("Application" lines and the
    // application directory itself, with a trailing "/"), and the files the "Windows" and
    // "System" lines name.
    std::vector<std::string> directoriesToScan(const std::string& appDir) const;
    std::vector<std::string> namedFiles() const;
    // A file the profile names: listed, not measured.
    void addNamed(const std::string& path);
    bool wantsMarkers() const;
    bool includesHidden() const;
    bool asksToCloseTheApplication() const;
    void addMarker(const std::string& dir);
    // A file the scan found; its size counts towards the total.
    void addScanned(const std::string& path, std::int64_t length);
    // Drops the entries that name a directory.
    void finishStartup();

    // Editing; each keeps the counts.
    bool contains(const std::string& entry) const;
    // A file picked from a folder: listed and measured.
    void add(const std::string& entry);
    void removeAt(std::size_t index);
    void removeAll();
    // Whether the list holds a real file (markers alone back nothing up).
    bool hasFiles() const { return shownCount > 0; }
    // Counts the list again (after a direct change of files and measures).
    void recount();

    // The set this plan writes: <destination>/<backupName>.bks.
    std::string setPath() const;
    // The library settings the profile and the options make.
    bool emptyDirectoryEntries() const;
    std::optional<int> structureMode() const;
    std::optional<int> libraryLevel() const;
    bool longNames() const;
    // The top of the progress bar: one step per file after the first, at least one.
    std::int32_t progressTop() const;

private:
    void append(const std::string& entry, Measure m);
    void count(const Measure& m, int sign);
};

// The marker entry that stands for a profile directory in the file list.
std::string markerEntry(const std::string& dir);

} // namespace cwb
