#include "kit/KitCommand.h"

#include "common/cli/Arguments.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "common/profile/ProfileFile.h"
#include "kit/KitFiles.h"

#include <cstdio>

namespace kit {

const cw::cli::Usage& kitUsage() {
    static const cw::cli::Usage usage{
        "cwkit",
        {"", "--copy-kit FOLDER"},
        "The Caskwell Developer Distribution Kit: builds the backup profile (cwkcon32.dll) of\n"
        "an application and copies the backup utility cwb, the restore utility cwr and their\n"
        "libraries into the application's folder. Started without options it opens its\n"
        "windows.",
        {
            {"copy-kit", "FOLDER",
             "Copy cwb, cwr, their libraries and their runtime into FOLDER, beside the profile "
             "it holds, as Build Profile does, without changing the profile: the way to bring "
             "a shipped folder up to this kit in a release script."},
        },
        "Exit status:\n"
        "  0  the kit ended normally, the kit was copied, or the help or version was shown\n"
        "  1  some files were not copied\n"
        "  2  bad usage, or FOLDER holds no profile\n"};
    return usage;
}

namespace {

int copyKit(const std::string& kitDir, const std::string& given) {
    const std::string folder = cw::paths::withTrailingSep(cw::cli::absolutePath(given));
    const std::string profile = cw::paths::join(folder, cw::profile::kFileName);
    if (!cw::files::isOrdinaryFile(profile))
        return cw::cli::usageError(kitUsage(), folder + " holds no profile (" +
                                                   cw::profile::kFileName +
                                                   "): build one in cwkit's windows first");
    bool complete = true;
    const auto report = [&](const CopyOutcome& o, const char* what) {
        if (o.result == CopyOutcome::Result::Missing)
            std::fprintf(stderr, "cwkit: %s not copied: %s is missing beside cwkit\n", what,
                         o.missing.c_str());
        else if (o.result == CopyOutcome::Result::Failed)
            std::fprintf(stderr, "cwkit: %s not copied (error %d)\n", what, o.error);
        else if (o.result == CopyOutcome::Result::Skipped)
            std::fprintf(stderr, "cwkit: %s not copied: %s has no system folder\n", what,
                         folder.c_str());
        complete = complete && o.result == CopyOutcome::Result::Copied;
    };
    report(copyDistribution(kitDir, folder), "the utilities and their libraries were");
    report(copyRuntime(kitDir, folder), "the runtime was");
    if (!complete)
        return cw::cli::kFailed;
    std::printf("cwkit: the kit is in %s (the runtime in %s)\n", folder.c_str(),
                runtimeDestination(folder).c_str());
    return cw::cli::kSuccess;
}

} // namespace

int runKitCommand(const std::vector<std::string>& args, const std::string& kitDir) {
    const cw::cli::Arguments a = cw::cli::parse(kitUsage(), args);
    if (const auto answered = cw::cli::answerCommon(kitUsage(), a))
        return *answered;
    if (a.has("copy-kit"))
        return copyKit(kitDir, a.value("copy-kit"));
    return cw::cli::usageError(kitUsage(), "give --copy-kit, --help or --version, or no option");
}

} // namespace kit
