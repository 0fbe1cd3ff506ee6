// The build of the profile editor: the profile file, the copies beside it (KitFiles), and the
// message that tells the developer what to distribute.
#include "common/platform/Desktop.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/FileSystem.h"
#include "common/platform/Files.h"
#include "common/profile/Profile.h"
#include "common/profile/ProfileFile.h"
#include "kit/KitConstants.h"
#include "kit/KitFiles.h"
#include "kit/MDIMainForm.h"
#include "kit/ProfileItems.h"
#include "kit/ValueCheckBox.h"
#include "kit/dlgConfirm.h"
#include "kit/dlgDirforINI.h"
#include "kit/frmConfig.h"
#include "kit/frmOptions.h"
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdio>
#include <utility>
#include <vector>

namespace kit {

namespace {

// The profile the editor and the preferences window describe.
cw::profile::Profile profileOf(const KitApp& app, const QStringList& list, const frmOptions& o) {
    cw::profile::Profile p;
    p.description = app.profile.description.toStdString();
    p.application = items::sectionLines(list, items::Kind::Application);
    p.windows = items::sectionLines(list, items::Kind::Windows);
    p.system = items::sectionLines(list, items::Kind::System);
    // A check box is on when its value is 1: a grayed box counts as off.
    p.encryptionAllowed = o.chkEncrypt->value() == 1;
    p.longNames = o.chkLongFile->value() == 1;
    p.emptyDirectories = o.chkEmpDir->value() == 1;
    p.hiddenFiles = o.chkHidden->value() == 1;
    p.compression = o.selectedLevel();
    p.relativeStructure = o.chkSaveStruc->value() == 1;
    QString support = QLatin1String(kVendorSupportAddress);
    if (o.optNoDBT->isChecked())
        support = o.optWebsite->isChecked() ? o.txtURL->text() : o.txtPhone->text();
    p.support = support.toStdString();
    p.startupPrompt = o.OptYes->isChecked();
    p.customCompression = o.chkChngComp->value() == 1;
    return p;
}

} // namespace

void frmConfig::setBuildBusy(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    app_.desktop.setBusy(busy);
}

void frmConfig::KillNew() {
    if (!app_.profile.newProfile) {
        app_.desktop.beep();
        const cw::Answer answer = app_.desktop.messageBox(
            QStringLiteral("Are you sure you want to replace the Profile in '") +
                app_.profile.folder + QStringLiteral("'?"),
            cw::Icon::Question, cw::Buttons::YesNo, QLatin1String(kTitle));
        if (answer != cw::Answer::Yes) {
            setBuildBusy(false);
            return;
        }
        // The old profile is not deleted here: the new one takes its place once it is
        // completely written (Write_INI).
    }
    Write_INI();
}

int frmConfig::writeProfile(const QString& path) {
    const std::string target = path.toStdString();
    const std::string dir = cw::paths::parent(target);
    if (!cw::files::isDirectory(dir))
        return cw::kErrPathNotFound;
    if (cw::files::isOrdinaryFile(target) && !cw::files::canReplace(target))
        return cw::kErrPathFileAccess;
    if (!cw::files::isWritableDirectory(dir))
        return cw::kErrPathFileAccess;

    const frmOptions* options = app_.main ? app_.main->options() : nullptr;
    if (!options)
        return cw::kErrFileIo;
    const cw::profile::Profile profile = profileOf(app_, items(), *options);

    const std::string temp =
        cw::paths::join(dir, std::string(".") + cw::profile::kFileName + ".new");
    cw::files::removeFile(temp);
    if (!cw::profile::write(profile, temp)) {
        cw::files::removeFile(temp);
        return cw::kErrFileIo;
    }
    if (cw::files::fileSystem().rename(temp, target) != 0) {
        cw::files::removeFile(temp);
        return cw::kErrFileIo;
    }
    return 0;
}

void frmConfig::buildFailed(int errorNumber) {
    app_.desktop.beep();
    app_.desktop.messageBox(
        QStringLiteral("There was an error while creating the profile.  Error code: ") +
            QString::number(errorNumber),
        cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
}

void frmConfig::Write_INI() {
    const QString path = lblDirforINI->text();
    if (lblExplainINIDir->text().isEmpty()) {
        app_.desktop.beep();
        app_.desktop.messageBox(
            QStringLiteral("You must first choose 'New Profile' before you can Build the Profile."),
            cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
        setBuildBusy(false);
        return;
    }
    // A line that would not read back as written is named, and nothing is written.
    const frmOptions* options = app_.main ? app_.main->options() : nullptr;
    if (options) {
        for (const auto& [name, lines] :
             cw::profile::sections(profileOf(app_, items(), *options))) {
            for (const std::string& line : lines) {
                if (cw::profile::lineIsStorable(line))
                    continue;
                app_.desktop.beep();
                app_.desktop.messageBox(
                    QStringLiteral("'") + QString::fromStdString(line) +
                        QStringLiteral("' cannot be stored in the ") +
                        QString::fromStdString(name) +
                        QStringLiteral(" section of a Profile because it holds a line break.  "
                                       "Change it and build again."),
                    cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
                setBuildBusy(false);
                return;
            }
        }
    }
    // The developer's work stays in the editor when the profile cannot be written: the old
    // profile is kept and nothing is copied, so he can correct the cause and build again.
    if (const int error = writeProfile(path)) {
        setBuildBusy(false);
        buildFailed(error);
        return;
    }
    warnedMissing_ = false;
    CopyFiles();
    CopyRuntime();

    const QString folder = app_.profile.folder;
    const QStringList rows = {
        QStringLiteral("You can now distribute Caskwell and your new Profile along with ") +
            QStringLiteral("your own application."),
        QString(),
        QStringLiteral("The files listed below are located in '") + folder +
            QStringLiteral("'.  Simply install or copy the files into your application's main "
                           "directory"),
        QString(),
        QStringLiteral("cwb"),
        QStringLiteral("cwr"),
        QLatin1String(cw::profile::kFileName),
        QStringLiteral("libcwzip.so"),
        QStringLiteral("libcwunzip.so"),
        QString(),
        QStringLiteral("The following files must be installed in the system folder.  (see help "
                       "for more information)"),
        QString(),
        QLatin1String(cw::paths::kSecondRuntimeFile),
        QLatin1String(cw::paths::kRuntimeLibrary),
        QString(),
        QStringLiteral("When run, cwb will back up all files in your main application directory, "
                       "as well as the items you specified in the Profile you just created."),
    };
    app_.desktop.beep();
    app_.desktop.messageBox(rows.join(QStringLiteral("\r\n")), cw::Icon::Information,
                            cw::Buttons::OK, QLatin1String(kTitle));

    if (MDIMainForm* m = app_.main) {
        m->mnuFileCreate->setEnabled(false);
        m->setToolbarButtonEnabled(1, true);
        m->setToolbarButtonEnabled(2, true);
        m->mnuFileNew->setEnabled(true);
        m->mnuFileOpen->setEnabled(true);
        m->mnufilePrint->setEnabled(false);
        m->setToolbarButtonEnabled(5, false);
        unloadWindow(app_, m->loadedConfirm());
        unloading_ = true;
        unloadWindow(app_, this);
        unloadWindow(app_, m->loadedNewProfileDialog());
        m->showBackdrop();
    }
}

void frmConfig::warnMissingFiles() {
    if (std::exchange(warnedMissing_, true))
        return;
    app_.desktop.beep();
    app_.desktop.messageBox(
        QStringLiteral("Some files were not available to copy to your destination "
                       "directory.  Confirm that all files are located ") +
            QStringLiteral("in your Caskwell Directory."),
        cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
}

void frmConfig::CopyFiles() {
    // The first failure ends the step; only a missing source file is reported.
    const CopyOutcome outcome =
        copyDistribution(app_.programDir.toStdString(), app_.profile.folder.toStdString());
    if (outcome.result == CopyOutcome::Result::Missing)
        warnMissingFiles();
    setBuildBusy(false);
}

void frmConfig::CopyRuntime() {
    // Without it the utilities start only where our Qt, libdeflate and nettle happen to be
    // installed, so a failure is said, as a failure of the build.
    setBuildBusy(true);
    const CopyOutcome outcome =
        copyRuntime(app_.programDir.toStdString(), app_.profile.folder.toStdString());
    setBuildBusy(false);
    if (outcome.result == CopyOutcome::Result::Missing)
        warnMissingFiles();
    else if (outcome.result == CopyOutcome::Result::Failed)
        buildFailed(outcome.error);
}

} // namespace kit
