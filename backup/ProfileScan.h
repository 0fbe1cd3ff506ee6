#pragma once
// Start-up's scan without windows, for the command line: the files the profile names and the
// files of its directories go into the plan in the order frmStartBackup's loading gives them,
// so a set written from the command line holds what the windows would have written.
#include "backup/BackupPlan.h"

#include <functional>
#include <string>

namespace cwb {

// Fills plan (whose profile is read) from the directories and files it names below appDir.
// A directory that exists but cannot be listed is handed to unlisted and adds no files.
void scanProfile(BackupPlan& plan, const std::string& appDir,
                 const std::function<void(const std::string& dir)>& unlisted);

} // namespace cwb
