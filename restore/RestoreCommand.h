#pragma once
// cwr without windows: listing, testing or restoring one backup set from the command line.
// It uses the same decompression library, listing and messages as the windows; where the
// windows would ask, it asks on the terminal or follows its options.
#include "common/cli/Arguments.h"

#include <string>
#include <vector>

namespace cwr {

// The options of cwr's command line; --help is made from them.
const cw::cli::Usage& restoreUsage();

// Runs the command line args (without the program name) with cwr in programDir. Returns the
// exit status: 0 complete success, 1 the run started and some files failed or it stopped,
// 2 bad usage or a run that could not start (nothing written).
int runRestoreCommand(const std::vector<std::string>& args, const std::string& programDir);

} // namespace cwr
