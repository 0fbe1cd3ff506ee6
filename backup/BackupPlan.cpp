#include "backup/BackupPlan.h"

#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "common/profile/ProfileFile.h"

#include <algorithm>
#include <limits>

namespace cwb {

namespace {

std::vector<std::string> joined(const std::string& base, const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines)
        out.push_back(cw::paths::join(base, line));
    // The base itself, as the list reader's empty last entry gives it.
    out.push_back(cw::paths::withTrailingSep(base));
    return out;
}

} // namespace

std::string BackupPlan::profilePath(const std::string& appDir) {
    return cw::paths::join(appDir, cw::profile::kFileName);
}

void BackupPlan::readProfile(const std::string& appDir) {
    profile = cw::profile::read(profilePath(appDir));
}

std::vector<std::string> BackupPlan::directoriesToScan(const std::string& appDir) const {
    return joined(appDir, profile.application);
}

std::vector<std::string> BackupPlan::namedFiles() const {
    std::vector<std::string> out = joined(cw::paths::windowsDirectory(), profile.windows);
    for (auto& f : joined(cw::paths::systemDirectory(), profile.system))
        out.push_back(std::move(f));
    return out;
}

bool BackupPlan::wantsMarkers() const {
    // No empty-directory value, or one that is no number, counts as a failed test: markers too.
    return profile.emptyDirectories.value_or(true);
}

bool BackupPlan::includesHidden() const {
    return profile.hiddenFiles.value_or(true);
}

bool BackupPlan::asksToCloseTheApplication() const {
    return profile.startupPrompt.value_or(true);
}

void BackupPlan::append(const std::string& entry, Measure m) {
    files.push_back(entry);
    measures.push_back(m);
    count(m, 1);
}

void BackupPlan::count(const Measure& m, int sign) {
    if (m.marker)
        markerCount += sign;
    else
        shownCount += sign;
    if (!m.marker && m.size > 0)
        totalSize += sign * m.size;
}

void BackupPlan::addNamed(const std::string& path) {
    append(path, {});
}

void BackupPlan::addMarker(const std::string& dir) {
    append(markerEntry(dir), {-1, true});
}

void BackupPlan::addScanned(const std::string& path, std::int64_t length) {
    append(path, {length, false});
}

void BackupPlan::finishStartup() {
    // Rebuilt in one pass: erasing entries one by one is quadratic on long lists.
    std::vector<std::string> keptFiles;
    std::vector<Measure> keptMeasures;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].empty() && files[i].back() == cw::paths::kSep)
            continue;
        keptFiles.push_back(std::move(files[i]));
        keptMeasures.push_back(measures[i]);
    }
    files = std::move(keptFiles);
    measures = std::move(keptMeasures);
    recount();
}

bool BackupPlan::contains(const std::string& entry) const {
    return std::find(files.begin(), files.end(), entry) != files.end();
}

void BackupPlan::add(const std::string& entry) {
    append(entry, {cw::files::fileLength(entry), false});
}

void BackupPlan::removeAt(std::size_t index) {
    if (index >= files.size())
        return;
    count(measures[index], -1);
    files.erase(files.begin() + static_cast<std::ptrdiff_t>(index));
    measures.erase(measures.begin() + static_cast<std::ptrdiff_t>(index));
}

void BackupPlan::removeAll() {
    files.clear();
    measures.clear();
    recount();
}

void BackupPlan::recount() {
    markerCount = shownCount = totalSize = 0;
    for (const Measure& m : measures)
        count(m, 1);
}

std::string BackupPlan::setPath() const {
    return cw::paths::withTrailingSep(destination) + backupName + ".bks";
}

bool BackupPlan::emptyDirectoryEntries() const {
    return profile.emptyDirectories.value_or(false);
}

std::optional<int> BackupPlan::structureMode() const {
    if (!profile.relativeStructure)
        return std::nullopt; // the library's own default
    return *profile.relativeStructure ? zipcodes::kStructureFullPath
                                      : zipcodes::kStructureNamesOnly;
}

std::optional<int> BackupPlan::libraryLevel() const {
    if (!level)
        return std::nullopt;
    switch (*level) {
    case cw::profile::Compression::None:
        return zipcodes::kLevelNone;
    case cw::profile::Compression::Minimum:
        return zipcodes::kLevelMinimum;
    case cw::profile::Compression::Normal:
        return zipcodes::kLevelNormal;
    case cw::profile::Compression::Maximum:
        return zipcodes::kLevelMaximum;
    }
    return std::nullopt;
}

bool BackupPlan::longNames() const {
    return profile.longNames.value_or(false);
}

std::int32_t BackupPlan::progressTop() const {
    // Fewer than two files leave no range to show; one step then fills the bar.
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(shownCount - 1, 1, std::numeric_limits<std::int32_t>::max()));
}

std::string markerEntry(const std::string& dir) {
    if (!dir.empty() && dir.back() == cw::paths::kSep)
        return dir + "(EMPTY)";
    return dir + cw::paths::kSep + "(EMPTY)";
}

} // namespace cwb
