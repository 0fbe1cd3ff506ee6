#pragma once
// cwkit's command line: --help and --version, which every program on the path answers, and
// --copy-kit, which lays this kit's files beside a profile already built. Profiles are built
// in the windows.
#include "common/cli/Arguments.h"

#include <string>
#include <vector>

namespace kit {

const cw::cli::Usage& kitUsage();

// Answers --help or --version, or copies the kit from kitDir (cwkit's own folder) into the
// folder --copy-kit names; anything else is bad usage (exit 2).
int runKitCommand(const std::vector<std::string>& args, const std::string& kitDir);

} // namespace kit
