#pragma once
// The per-user settings store: <System directory>/Caskwell/Caskwell DDK.conf, INI format,
// groups "Config" and "Options", readable by the user only. Opened at each use.
#include <string>

namespace cw::settings {

// The stored string, or def when the key does not exist (or the file is unreadable).
std::string get(const std::string& app, const std::string& section, const std::string& key,
                const std::string& def = "");
// Create or replace the entry. Returns false when the store cannot be written.
bool save(const std::string& app, const std::string& section, const std::string& key,
          const std::string& value);
// Full path of the store file for app.
std::string storePath(const std::string& app);

} // namespace cw::settings
