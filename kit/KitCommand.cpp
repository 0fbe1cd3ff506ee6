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
    if (a.error.empty() && a.has("help")) {
        std::fputs(cw::cli::helpText(kitUsage()).c_str(), stdout);
        return cw::cli::kSuccess;
    }
    if (a.error.empty() && a.has("version")) {
        std::puts(cw::cli::versionLine("cwkit").c_str());
        return cw::cli::kSuccess;
    }
    std::fprintf(stderr, "cwkit: %s\nTry 'cwkit --help' for more information.\n",
                 a.error.empty() ? "give --help or --version, or no option at all"
                                 : a.error.c_str());
    return cw::cli::kUsage;
}

} // namespace kit
