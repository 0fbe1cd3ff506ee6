#include "backup/ProfileScan.h"

#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"

#include <QDir>

namespace cwb {

namespace {

// The directory without a trailing "/", the root aside, as the lookups expect.
std::string bareDir(std::string d) {
    while (d.size() > 1 && d.back() == cw::paths::kSep)
        d.pop_back();
    return d;
}

} // namespace

void scanProfile(BackupPlan& plan, const std::string& appDir,
                 const std::function<void(const std::string& dir)>& unlisted) {
    for (const auto& f : plan.namedFiles())
        plan.addNamed(f);
    cw::files::AttrFilter filter;
    filter.hidden = plan.includesHidden();
    for (const auto& d : plan.directoriesToScan(appDir)) {
        if (plan.wantsMarkers())
            plan.addMarker(d);
        if (!cw::files::existsAsFileOrDirectory(bareDir(d)))
            continue;
        // The path as the windows' file list reports it: absolute and cleaned.
        const std::string dir =
            QDir::cleanPath(QDir(QString::fromStdString(d)).absolutePath()).toStdString();
        try {
            for (const auto& name : cw::files::listFiles(dir, "*.*", filter)) {
                const std::string entry = cw::paths::join(dir, name);
                plan.addScanned(entry, cw::files::fileLength(entry));
            }
        } catch (const cw::PlatformError&) {
            unlisted(d);
        }
    }
    plan.finishStartup();
}

} // namespace cwb
