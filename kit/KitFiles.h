#pragma once
// The files a build lays beside the profile: the utilities and their libraries, the two
// runtime support files, and the runtime folder that lets the utilities start on a desktop
// without our Qt, libdeflate and nettle. No windows: the editor's build and the command
// line's --copy-kit both use it.
#include <string>

namespace kit {

// How a copy step ended. Missing: a source file is not beside cwkit (named in `missing`);
// Failed: anything else, with a platform error number; Skipped: there was nowhere to copy to.
struct CopyOutcome {
    enum class Result { Copied, Missing, Failed, Skipped } result = Result::Copied;
    std::string missing;
    int error = 0;
};

// The utilities, the libraries and the two runtime support files, in their order, from
// cwkit's folder into the application folder (which ends with "/"). The home folder takes
// the support files itself; any other folder gets them in a "system" folder made for them,
// and only when that folder is new. The first failure ends the step.
CopyOutcome copyDistribution(const std::string& kitDir, const std::string& folder);

// Where the runtime folder of an application folder goes: <folder>/system/runtime, or, for
// the home folder, which holds no system folder, ~/.local/lib/caskwell/runtime. The
// utilities' RUNPATH names both.
std::string runtimeDestination(const std::string& folder);

// The runtime folder beside cwkit ("runtime", listed whole in its runtime.list) copied to
// runtimeDestination(folder), every time: a new one beside the old, put in its place in one
// rename, so programs never meet half of one, and an older kit's runtime never stays
// beside newer programs. Nothing is copied when a listed file is missing, nor when the
// application folder has no system folder (the copy step ended before making it).
CopyOutcome copyRuntime(const std::string& kitDir, const std::string& folder);

} // namespace kit
