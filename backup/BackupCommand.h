#pragma once
// cwb without windows: one backup from the command line, for scheduled and scripted runs.
// It reads the same profile beside cwb, makes the same file list and hands the library the
// same settings as the windows do; where the windows would ask, it follows its options.
#include "common/cli/Arguments.h"

#include <string>
#include <vector>

namespace cwb {

// The options of cwb's command line; --help is made from them.
const cw::cli::Usage& backupUsage();

// Runs the command line args (without the program name) with cwb in appDir. Returns the exit
// status: 0 the set is complete, 1 the run started and some files failed or it stopped,
// 2 bad usage or a run that could not start (nothing written).
int runBackupCommand(const std::vector<std::string>& args, const std::string& appDir);

} // namespace cwb
