#pragma once
// How many worker threads a run may usefully start: the CPUs this process may run on.

namespace cw::zip {

// The CPUs in the process's affinity mask, at least one.
unsigned usableCores();

} // namespace cw::zip
