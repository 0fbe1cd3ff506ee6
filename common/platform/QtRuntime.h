#pragma once
// The Qt a program runs on. In an application folder that cwkit filled, cwb and cwr find Qt
// in the folder's runtime (through their RUNPATH); its plugins must then come from the same
// folder, whatever the desktop's environment names, since a plugin built for the system's
// Qt would not load into ours, and a screen plugin the folder lacks would end the program
// before its first window.
#include <functional>
#include <string>

namespace cw::runtime {

// The folder that holds the libQt6Core this process runs on ("" when it cannot be told).
std::string qtLibraryDirectory();

// When Qt was loaded from a runtime folder (one with plugins/platforms beside libQt6Core),
// Qt looks for plugins there alone, and a requested screen platform the folder does not hold
// is dropped so that Qt falls back to one it does. Called before the application object is
// made, and again right after it: making it adds the program's own folder to the plugin
// path, and that folder is the end user's application folder, whose plugins are not ours.
void usePluginsBesideQt();

// The entries of a QT_QPA_PLATFORM value ("wayland;xcb", "xcb:option") whose plugin
// isAvailable(name) says is there, in their order and form; "" when none is.
std::string availablePlatforms(const std::string& requested,
                               const std::function<bool(const std::string&)>& isAvailable);

} // namespace cw::runtime
