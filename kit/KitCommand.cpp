#include "kit/KitCommand.h"

#include <cstdio>

namespace kit {

const cw::cli::Usage& kitUsage() {
    static const cw::cli::Usage usage{
        "cwkit",
        {""},
        "The Caskwell Developer Distribution Kit: builds the backup profile (cwkcon32.dll) of\n"
        "an application and copies the backup utility cwb, the restore utility cwr and their\n"
        "libraries into the application's folder. Started without options it opens its\n"
        "windows.",
        {},
        "Exit status:\n"
        "  0  the kit ended normally, or the help or version was shown\n"
        "  2  bad usage\n"};
    return usage;
}

int runKitCommand(const std::vector<std::string>& args) {
    const cw::cli::Arguments a = cw::cli::parse(kitUsage(), args);
    if (const auto answered = cw::cli::answerCommon(kitUsage(), a))
        return *answered;
    return cw::cli::usageError(kitUsage(), "give --help or --version, or no option at all");
}

} // namespace kit
