#include "restore/RestoreCommand.h"

#include "common/Format.h"
#include "common/cli/Console.h"
#include "common/platform/Drives.h"
#include "common/platform/Files.h"
#include "restore/EmptyDirectories.h"
#include "restore/Listing.h"
#include "restore/ReplacedFiles.h"
#include "restore/RestorePlan.h"
#include "restore/UnzipLibrary.h"
#include "zip/include/cwevents.h"

#include <cstdio>
#include <filesystem>
#include <optional>

namespace cwr {

namespace {

using cw::cli::Console;
using cw::cli::plainText;

enum class Replace { Ask, All, None };

class RestoreRun {
public:
    explicit RestoreRun(const std::string& programDir) : library_(programDir), console_("cwr") {}
    ~RestoreRun() {
        cw::cli::wipe(password_);
        if (current == this)
            current = nullptr;
    }
    RestoreRun(const RestoreRun&) = delete;
    RestoreRun& operator=(const RestoreRun&) = delete;

    int run(const cw::cli::Arguments& args);

    // The library's callback carries no pointer of ours: it reaches the one run there is.
    static short callback(int, int action, const char* message) {
        return current ? current->event(action, message ? std::string(message) : std::string()) : 0;
    }

private:
    int refuse(const std::string& text) {
        console_.warning(plainText(text));
        return cw::cli::kUsage;
    }
    int usageError(const std::string& text) { return cw::cli::usageError(restoreUsage(), text); }
    int open(const cw::cli::Arguments& args);
    bool list();
    int printList();
    int askPassword(const cw::cli::Arguments& args);
    int test();
    int restore(const cw::cli::Arguments& args);
    short event(int action, const std::string& message);
    void startRun();
    short existing(const std::string& number, const std::string& path);
    short asked(const std::string& path);
    void failure() {
        ++failed_;
        ++done_;
    }

    static RestoreRun* current;
    UnzipLibrary library_;
    Console console_;
    RestorePlan plan_;
    std::vector<ListedEntry> listed_; // every entry, directories too, in listing order
    std::string set_, password_;
    bool encrypted_ = false, stopped_ = false, askedNoTerminal_ = false;
    cwr::ReplaceAnswers replaces_; // a replaced file goes to the trash first, as in the windows
    Replace replace_ = Replace::Ask;
    std::int64_t total_ = 0, done_ = 0, passed_ = 0, failed_ = 0, skipped_ = 0;
};

RestoreRun* RestoreRun::current = nullptr;

int RestoreRun::run(const cw::cli::Arguments& args) {
    if (const auto answered = cw::cli::answerCommon(restoreUsage(), args))
        return *answered;
    const int modes = int(args.has("list")) + int(args.has("test")) + int(args.has("restore"));
    if (modes != 1)
        return usageError("give one of --list, --test or --restore");
    if (!args.has("restore"))
        for (const char* only : {"to", "structure", "replace"})
            if (args.has(only))
                return usageError(std::string("--") + only + " is used only with --restore");
    if (args.has("restore") && !args.has("to"))
        return usageError("--restore needs --to DIR");
    if (args.has("replace")) {
        const std::string r = args.value("replace");
        if (r == "all")
            replace_ = Replace::All;
        else if (r == "none")
            replace_ = Replace::None;
        else if (r != "ask")
            return usageError("--replace: '" + r + "' is none of ask, all or none");
    }
    const int opened = open(args);
    if (opened != cw::cli::kSuccess)
        return opened;
    if (args.has("list"))
        return printList();
    if (const int r = askPassword(args); r != cw::cli::kSuccess)
        return r;
    return args.has("test") ? test() : restore(args);
}

// Finds the set, binds the library and lists the set.
int RestoreRun::open(const cw::cli::Arguments& args) {
    const std::string given = args.value(args.has("list")   ? "list"
                                         : args.has("test") ? "test"
                                                            : "restore");
    set_ = cw::cli::absolutePath(given);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(set_, ec))
        return refuse("'" + given + "' cannot be found.");
    if (!library_.bind())
        return refuse(library_.errorText().toStdString());
    if (!list())
        return refuse("'" + given + "' is not a backup set that can be read.");
    return cw::cli::kSuccess;
}

bool RestoreRun::list() {
    const UnzipFunctions& api = library_.api();
    CwListSink sink{this, [](void* self, const char* text) {
                        auto* run = static_cast<RestoreRun*>(self);
                        if (const ListedEntry* e = run->plan_.addListingMessage(text ? text : ""))
                            run->listed_.push_back(*e);
                    }};
    api.Initialise();
    api.SetWindowHandle(&sink);
    api.ArchiveName(set_.c_str());
    api.View(-1);
    api.Unzip();
    if (plan_.lastMessage.empty())
        return false;
    plan_.separateDirectories();
    encrypted_ = flagIsOn(plan_.encryptedFlag());
    return true;
}

int RestoreRun::printList() {
    for (const ListedEntry& e : listed_) {
        std::string size = std::to_string(sizeOfLine(e.sizeLine));
        if (size.size() < 12)
            size.insert(0, 12 - size.size(), ' ');
        console_.line(size + "  " + e.modified + "  " + storedPath(e.listLine));
    }
    const std::string count = std::to_string(plan_.files.size());
    console_.line(encrypted_ ? "ENCRYPTED Files in Backup Set - [" + count + "]"
                             : "Files in Backup Set - [" + count + "]");
    if (plan_.damaged) {
        console_.warning("the set is damaged: only the entries listed can be restored.");
        return cw::cli::kFailed;
    }
    return cw::cli::kSuccess;
}

int RestoreRun::askPassword(const cw::cli::Arguments& args) {
    if (!encrypted_)
        return cw::cli::kSuccess;
    if (args.has("password-file")) {
        std::string why;
        if (!cw::cli::readPasswordFile(args.value("password-file"), password_, why))
            return refuse("--password-file: '" + args.value("password-file") +
                          "' cannot be read: " + why);
        return cw::cli::kSuccess;
    }
    if (auto typed = console_.ask("Enter password for this BackupSet. ", true)) {
        password_.swap(*typed);
        cw::cli::wipe(*typed);
        return cw::cli::kSuccess;
    }
    return refuse("The set is encrypted: give its password with --password-file.");
}

// A run of the library on the set: its callback is ours, and it has the password.
void RestoreRun::startRun() {
    const UnzipFunctions& api = library_.api();
    api.Initialise();
    current = this;
    api.InstallCallback(&RestoreRun::callback);
    api.ArchiveName(set_.c_str());
    if (encrypted_)
        api.Decrypt(password_.c_str());
    // The library keeps the password until its run ends; this copy goes now.
    cw::cli::wipe(password_);
}

int RestoreRun::test() {
    const auto testMode = reinterpret_cast<int (*)(int)>(library_.symbol("cwUnzip_Test"));
    if (!testMode)
        return refuse("The decompression library '" + library_.path() +
                      "' does not provide the operation cwUnzip_Test.  The set cannot be "
                      "tested with it.  Please contact your vendor.");
    total_ = static_cast<std::int64_t>(plan_.files.size());
    startRun();
    testMode(-1);
    library_.api().Unzip();
    current = nullptr;
    console_.line(std::to_string(passed_) + " file(s) tested whole, " + std::to_string(failed_) +
                  " damaged or unreadable.");
    return failed_ || stopped_ ? cw::cli::kFailed : cw::cli::kSuccess;
}

int RestoreRun::restore(const cw::cli::Arguments& args) {
    const std::string dest = cw::cli::absolutePath(args.value("to"));
    if (!cw::files::isDirectory(dest))
        return refuse("--to: '" + args.value("to") + "' is not a folder.");
    if (cw::drives::type(cw::drives::driveOf(dest)) == cw::drives::kCdRom)
        return refuse("You cannot specify a CD-ROM as the Destination drive for Restore "
                      "process.  Select another Drive.");
    if (plan_.files.empty())
        return refuse("There are no Files to Restore!  Restore will be terminated.");
    plan_.setSelection(std::vector<bool>(plan_.files.size(), true));
    plan_.restoreStructure = args.has("structure");
    plan_.destination = dest;
    total_ = plan_.selectedCount();

    startRun();
    const UnzipFunctions& api = library_.api();
    if (plan_.restoreStructure)
        api.RestoreStructure(-1);
    api.Include(includeList(plan_.selectedPaths()).c_str());
    api.ExtractTo(dest.c_str());
    api.Unzip();
    current = nullptr;
    if (stopped_)
        return cw::cli::kFailed;

    if (plan_.restoreStructure) {
        const int missed =
            recreateEmptyDirectories(plan_.directoryLines(), dest, plan_.directoryStamps);
        if (missed > 0) {
            console_.warning(std::to_string(missed) + " empty folder(s) could not be re-created.");
            ++failed_;
        }
    }
    if (skipped_ > 0)
        console_.line(std::to_string(skipped_) + " existing file(s) kept.");
    const bool whole = failed_ == 0 && !plan_.damaged;
    console_.line(whole ? "Restore Completed Succesfully."
                        : "Restore Completed with errors.  Some files were not restored.");
    return whole ? cw::cli::kSuccess : cw::cli::kFailed;
}

short RestoreRun::event(int action, const std::string& m) {
    const auto field = [&m](int n) { return cw::getField(m, "|", n); };
    const auto detail = [&field](int n) {
        const std::string d = field(n);
        return d.empty() ? d : " (" + d + ")";
    };
    switch (static_cast<std::int16_t>(static_cast<std::uint16_t>(action & 0xFFFF))) {
    case CW_EVENT_FILE:
        ++done_;
        console_.progress(done_, total_, "Uncompressing " + field(2), true);
        break;
    case CW_EVENT_TESTED:
        ++done_;
        ++passed_;
        console_.progress(done_, total_, "Testing " + field(2) + " endded", true);
        break;
    case CW_EVENT_DISK: {
        const std::string request = cw::leadingNumber(field(2)) == 0
                                        ? "Insert the Last disk in the Backup Set."
                                        : "Take out the current disk and insert Disk #" + field(2);
        if (console_.canAsk())
            console_.ask(request + "  Press Enter when it is in the drive. ");
        else // the library looks again at once and gives up after three tries
            console_.warning(request + "  There is no terminal to wait at.");
        break;
    }
    case CW_EVENT_NOTHING:
        console_.warning("There are no Files to Restore!  Restore will be terminated.");
        stopped_ = true;
        break;
    case CW_EVENT_FAILED: {
        const std::int64_t reason = cw::leadingNumber(field(3));
        failure();
        replaces_.failed(field(1)); // a file that made room for it is put back
        if (reason == CW_REASON_PASSWORD) {
            console_.warning("An incorrect password has been entered.  Restore process will be "
                             "terminated.");
            stopped_ = true;
        } else if (reason == CW_REASON_IN_USE) {
            console_.warning("'" + field(2) +
                             "' cannot be restored because it is currently being used.");
        } else {
            console_.warning("Warning during process on file  " + field(2) + detail(4));
        }
        break;
    }
    case CW_EVENT_EXISTS:
        return existing(field(1), field(2));
    case CW_EVENT_FATAL: {
        replaces_.stopped();
        const std::int64_t code = cw::leadingNumber(field(3));
        stopped_ = true;
        if (code == CW_UNZIP_ERROR_CANCELLED)
            console_.warning("Error process is stopped !");
        else if (code == CW_UNZIP_ERROR_NO_SPACE)
            console_.warning("There is not enough free space in the destination to restore the "
                             "selected files.");
        else
            console_.warning("Restore process will be stopped!" + detail(4));
        break;
    }
    default:
        break;
    }
    return 0;
}

// The answer to a file that exists. A file to be replaced goes to the trash first; after
// Replace All nothing more is asked.
short RestoreRun::existing(const std::string& number, const std::string& path) {
    const int answer =
        replaces_.answeringAll() ? static_cast<int>(CW_ANSWER_REPLACE_ALL) : asked(path);
    return static_cast<short>(replaces_.answer(number, path, answer));
}

// The user's answer: from --replace, else from the terminal, else keep the file.
short RestoreRun::asked(const std::string& path) {
    if (replace_ == Replace::All)
        return CW_ANSWER_REPLACE_ALL;
    if (replace_ == Replace::Ask && console_.canAsk()) {
        const std::string prompt = "Warning, " + path +
                                   " already exists in the Directory specified.\nDo you want "
                                   "to Replace, Replace All, Skip or Cancel Restore? [r/a/s/c] ";
        while (const auto answer = console_.ask(prompt)) {
            if (*answer == "r" || *answer == "replace")
                return CW_ANSWER_REPLACE;
            if (*answer == "a" || *answer == "all")
                return CW_ANSWER_REPLACE_ALL;
            if (*answer == "s" || *answer == "skip")
                break;
            if (*answer == "c" || *answer == "cancel")
                return CW_ANSWER_CANCEL;
        }
    } else if (replace_ == Replace::Ask && !askedNoTerminal_) {
        askedNoTerminal_ = true;
        console_.note("no terminal to ask on: existing files are kept (--replace all replaces "
                      "them).");
    }
    ++skipped_;
    ++done_;
    console_.line("Skipped " + path + ": it already exists.");
    return CW_ANSWER_SKIP;
}

} // namespace

const cw::cli::Usage& restoreUsage() {
    static const cw::cli::Usage usage{
        "cwr",
        {"--list SET [--password-file FILE]", "--test SET [--password-file FILE]",
         "--restore SET --to DIR [--structure] [--replace WHEN] [--password-file FILE]"},
        "Lists, tests or restores a Caskwell backup set (SET is its .bks file) without "
        "windows.",
        {
            {"list", "SET", "List every entry of the set: size, time and stored name."},
            {"test", "SET",
             "Read every entry of the set, decrypt it and check its CRC and authentication "
             "code, writing nothing."},
            {"restore", "SET", "Restore every file of the set."},
            {"to", "DIR", "Restore into the existing folder DIR."},
            {"structure", "",
             "Re-create the stored folders (and the empty ones) below DIR; without it every "
             "file goes straight into DIR."},
            {"replace", "WHEN",
             "What to do with a file that exists: ask (on the terminal; the default), all "
             "(replace every one) or none (keep every one). Without a terminal, ask keeps "
             "them."},
            {"password-file", "FILE",
             "The password of an encrypted set, in the first line of FILE. Without it cwr asks "
             "on the terminal."},
        },
        "Without options cwr opens its windows. Progress goes to standard output, one line\n"
        "per file (a bar on a terminal); messages go to standard error. A set spread over\n"
        "several disks asks for each disk on the terminal; without one, only volumes that\n"
        "lie beside SET can be read, and the run stops at the first that is missing.\n"
        "\n"
        "Exit status:\n"
        "  0  every file was listed, tested or restored\n"
        "  1  some files failed (damaged, unreadable, not written), or the run stopped\n"
        "  2  bad usage, or the run could not start (nothing was written)\n"};
    return usage;
}

int runRestoreCommand(const std::vector<std::string>& args, const std::string& programDir) {
    RestoreRun run(programDir);
    return run.run(cw::cli::parse(restoreUsage(), args));
}

} // namespace cwr
