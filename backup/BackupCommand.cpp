#include "backup/BackupCommand.h"

#include "backup/BackupIncludeList.h"
#include "backup/BackupPlan.h"
#include "backup/ProfileScan.h"
#include "backup/SetFile.h"
#include "backup/ZipLibrary.h"
#include "common/Format.h"
#include "common/cli/Console.h"
#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "zip/include/cwevents.h"

#include <QString>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace cwb {

namespace {

using cw::cli::Console;
using cw::cli::plainText;
using Compression = cw::profile::Compression;

const std::map<std::string, Compression> kLevels = {{"none", Compression::None},
                                                    {"minimum", Compression::Minimum},
                                                    {"normal", Compression::Normal},
                                                    {"maximum", Compression::Maximum}};

std::string upper(const std::string& s) {
    return QString::fromStdString(s).toUpper().toStdString();
}

std::string lower(const std::string& s) {
    return QString::fromStdString(s).toLower().toStdString();
}

class BackupRun {
public:
    explicit BackupRun(const std::string& appDir) : appDir_(appDir), console_("cwb") {}
    ~BackupRun() {
        cw::cli::wipe(plan_.password);
        if (current == this)
            current = nullptr;
    }
    BackupRun(const BackupRun&) = delete;
    BackupRun& operator=(const BackupRun&) = delete;

    int run(const cw::cli::Arguments& args);

    // The library's callback carries no pointer of ours: it reaches the one run there is.
    static short callback(int, int action, const char* message) {
        if (current)
            current->event(action, message ? std::string(message) : std::string());
        return 0;
    }

private:
    int refuse(const std::string& text) {
        console_.warning(plainText(text));
        return cw::cli::kUsage;
    }
    int start(const cw::cli::Arguments& args);
    int write(ZipLibrary& zip);
    void event(int action, const std::string& message);

    static BackupRun* current;
    std::string appDir_;
    Console console_;
    BackupPlan plan_;
    std::string description_;
    std::string existingSet_; // a set of the same name, in any case, that is to be replaced
    std::string currentFile_;
    std::int64_t filesDone_ = 0;
    bool errorReported_ = false, warned_ = false;
};

BackupRun* BackupRun::current = nullptr;

int BackupRun::run(const cw::cli::Arguments& args) {
    const cw::cli::Usage& usage = backupUsage();
    if (const auto answered = cw::cli::answerCommon(usage, args))
        return *answered;
    for (const char* needed : {"to", "name"})
        if (!args.has(needed)) {
            console_.warning(std::string("--") + needed + " is required");
            std::fputs("Try 'cwb --help' for more information.\n", stderr);
            return cw::cli::kUsage;
        }
    return start(args);
}

int BackupRun::start(const cw::cli::Arguments& args) {
    std::optional<Compression> level;
    if (args.has("level")) {
        const auto it = kLevels.find(args.value("level"));
        if (it == kLevels.end())
            return refuse("--level: '" + args.value("level") +
                          "' is no level; use none, minimum, normal or maximum.");
        level = it->second;
    }

    plan_.readProfile(appDir_);
    const cw::profile::Profile& profile = plan_.profile;
    if (!cw::files::isOrdinaryFile(BackupPlan::profilePath(appDir_)))
        return refuse("This program cannot find the necessary files to function.  Please "
                      "contact your vendor.");
    description_ = profile.description.value_or(std::string());
    // What the profile lets the user choose, the command line may choose; nothing more.
    if (level && !profile.customCompression.value_or(false))
        return refuse("--level: the profile does not let users change the compression level.");
    if (args.has("password-file") && !profile.encryptionAllowed.value_or(false))
        return refuse("--password-file: the profile does not allow encrypted backups.");

    if (plan_.asksToCloseTheApplication()) {
        const std::string d = upper(description_);
        console_.note(d + " must be closed before continuing the backup.  If " + d +
                      " is not closed, close it now then click 'OK'.");
    }

    const std::string name = args.value("name");
    if (name.find_first_not_of(' ') == std::string::npos)
        return refuse("You must first enter in a Backup Name for your Backup.");
    if (name.find('/') != std::string::npos)
        return refuse("A Backup Name cannot contain the character '/'.  Please enter a "
                      "different Backup Name.");
    const std::string dest = cw::cli::absolutePath(args.value("to"));
    if (!cw::files::isWritableDirectory(dest))
        return refuse("The backup cannot be written to '" + cw::paths::withTrailingSep(dest) +
                      "'.  Choose another destination for the backup.");

    scanProfile(plan_, appDir_, [this](const std::string& d) {
        console_.warning(plainText("The following Directory '" + d +
                                   "' listed in the Backup Profile cannot be found. \r\n"
                                   "Contact your vendor."));
    });
    if (plan_.files.empty())
        return refuse("There are no Files available to Backup.  Contact your Vendor.");
    if (!plan_.hasFiles())
        return refuse("There are no files to back up.");

    // A set of that name, in any case, as the options window finds it.
    const std::string setName = lower(name + ".bks");
    try {
        for (const auto& file : cw::files::listFiles(dest, "*.*"))
            if (lower(file) == setName) {
                existingSet_ = cw::paths::join(dest, file);
                break;
            }
    } catch (const cw::PlatformError&) {
        // An unlistable folder holds no set to find; writing into it will say more.
    }
    if (!existingSet_.empty() && !args.has("replace-set"))
        return refuse("A Backup Set with the same name already exists: '" + existingSet_ +
                      "'.  Give --replace-set to replace it; nothing was written.");

    plan_.destination = dest;
    plan_.backupName = name;
    // Without --level the profile's level, as the windows preselect it.
    plan_.level = level ? level : profile.compression;
    plan_.span = cw::drives::type(cw::drives::driveOf(dest)) == cw::drives::kRemovable;

    if (args.has("password-file")) {
        const std::string file = args.value("password-file");
        std::string why;
        if (!cw::cli::readPasswordFile(file, plan_.password, why))
            return refuse("--password-file: '" + file + "' cannot be read: " + why);
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && (st.st_mode & 077))
            console_.note("the password file '" + file + "' can be read by other users.");
        plan_.encrypt = true;
    }

    ZipLibrary zip(appDir_);
    if (!zip.bind())
        return refuse(zip.errorText().toStdString());
    return write(zip);
}

int BackupRun::write(ZipLibrary& zip) {
    console_.line("You are backing up a total of " + std::to_string(plan_.shownCount) +
                  " file(s).");
    console_.line("Total Uncompressed Size of All Files:  " +
                  cw::formatPicture(plan_.totalSize, "###,###") + " bytes");

    const ZipFunctions& api = zip.api();
    const std::string setPath = plan_.setPath();
    const SetIdentity before = SetIdentity::of(setPath);
    api.Initialise();
    current = this;
    api.InstallCallback(&BackupRun::callback);
    const IncludeList include = makeIncludeList(plan_.files);
    for (const auto& e : include.leftOut)
        console_.warning("'" + e +
                         "' cannot be backed up because its name contains the character '|'.");
    runBackup(api, plan_, setPath, include.list);
    current = nullptr;

    // The old set goes only once a complete new one stands in its place.
    const SetIdentity after = SetIdentity::of(setPath);
    const bool completed = !errorReported_ && after.isNewerThan(before);
    if (completed && !existingSet_.empty() && existingSet_ != setPath &&
        !SetIdentity::of(existingSet_).sameFileAs(after))
        cw::files::removeFile(existingSet_);
    const bool whole = completed && !warned_;
    console_.line(description_ +
                  (whole ? " was backed up succesfully." : " was not backed up completely."));
    return whole ? cw::cli::kSuccess : cw::cli::kFailed;
}

void BackupRun::event(int action, const std::string& m) {
    const auto field = [&m](int n) { return cw::getField(m, "|", n); };
    const auto detail = [&field](int n) {
        const std::string d = field(n);
        return d.empty() ? d : " (" + d + ")";
    };
    switch (action) {
    case CW_EVENT_PROGRESS: {
        const std::string file = field(2);
        const bool first = file != currentFile_;
        currentFile_ = file;
        // On the bar the percentage comes first: a long name is cut at the line's end.
        console_.progress(
            filesDone_, plan_.shownCount,
            (console_.showsBar() ? field(5) + "%  " : "") + "Compressing file : " + file, first);
        break;
    }
    case CW_EVENT_STORED:
        ++filesDone_;
        if (console_.showsBar())
            console_.progress(filesDone_, plan_.shownCount, "Compressing file : " + field(2),
                              false);
        break;
    case CW_EVENT_DISK: {
        const std::string request =
            "First, remove this disk and label it Disk #" + field(2) + ".  Then insert a new disk.";
        if (console_.canAsk()) {
            console_.ask(request + "  Press Enter when it is in place. ");
        } else {
            // The library looks for room at the same place at once; on the full disk it
            // finds none and stops, leaving no set behind.
            console_.warning(request + "  There is no terminal to wait at: the backup cannot "
                                       "go on to another disk.");
        }
        break;
    }
    case CW_EVENT_UNREADABLE:
        errorReported_ = true;
        console_.warning("Error during process of file : " + field(2) + detail(6));
        break;
    case CW_EVENT_WARNING:
        warned_ = true;
        console_.warning("Warning during process on file  " + field(2) + detail(6));
        break;
    case CW_EVENT_DUPLICATE:
        console_.warning("Warning, " + field(2) + " already exists in this Backup Set.");
        break;
    case CW_EVENT_FATAL:
        errorReported_ = true;
        console_.warning("Error process is stopped !" + detail(6));
        break;
    default:
        break;
    }
}

} // namespace

const cw::cli::Usage& backupUsage() {
    static const cw::cli::Usage usage{
        "cwb",
        {"--to DIR --name NAME [--level LEVEL] [--password-file FILE] [--replace-set]"},
        "Backs up the application whose profile (cwkcon32.dll) lies beside cwb, without "
        "windows:\nthe same files, settings and backup set as the windows make.",
        {
            {"to", "DIR", "Write the backup set into the folder DIR."},
            {"name", "NAME", "Name the set NAME: it is written as DIR/NAME.bks."},
            {"level", "LEVEL",
             "Compression level: none, minimum, normal or maximum. Only when the profile lets "
             "users change it; without it the profile's level is used."},
            {"password-file", "FILE",
             "Encrypt the set (AES-256) with the password in the first line of FILE. Only "
             "when the profile allows encryption."},
            {"replace-set", "",
             "Replace a set of the same name in DIR. The old set stays until the new one is "
             "complete."},
        },
        "Without options cwb opens its windows. Progress goes to standard output, one line\n"
        "per file (a bar on a terminal); messages go to standard error. A removable\n"
        "destination may need further disks: cwb asks for each on the terminal, and\n"
        "without one the backup stops when the first disk is full.\n"
        "\n"
        "Exit status:\n"
        "  0  the backup set is complete\n"
        "  1  some files could not be backed up, or the run stopped\n"
        "  2  bad usage, or the backup could not start (nothing was written)\n"};
    return usage;
}

int runBackupCommand(const std::vector<std::string>& args, const std::string& appDir) {
    BackupRun run(appDir);
    return run.run(cw::cli::parse(backupUsage(), args));
}

} // namespace cwb
