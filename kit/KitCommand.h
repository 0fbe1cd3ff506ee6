#pragma once
// cwkit's command line: only --help and --version, which every program on the path answers;
// the kit itself works in its windows.
#include "common/cli/Arguments.h"

#include <string>
#include <vector>

namespace kit {

const cw::cli::Usage& kitUsage();

// Answers --help or --version; anything else is bad usage (exit 2).
int runKitCommand(const std::vector<std::string>& args);

} // namespace kit
