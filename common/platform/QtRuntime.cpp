#include "common/platform/QtRuntime.h"

#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"

#include <QCoreApplication>
#include <QStringList>
#include <dlfcn.h>
#include <link.h>

namespace cw::runtime {

std::string qtLibraryDirectory() {
    // The loader's own record of the library says where it was found.
    void* handle = dlopen("libQt6Core.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
        return {};
    std::string dir;
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && map->l_name[0] == '/')
        dir = paths::parent(map->l_name);
    dlclose(handle);
    return dir;
}

std::string availablePlatforms(const std::string& requested,
                               const std::function<bool(const std::string&)>& isAvailable) {
    std::string kept;
    std::size_t from = 0;
    while (from <= requested.size()) {
        std::size_t end = requested.find(';', from);
        if (end == std::string::npos)
            end = requested.size();
        const std::string entry = requested.substr(from, end - from);
        const std::string name = entry.substr(0, entry.find(':'));
        if (!name.empty() && isAvailable(name))
            kept += (kept.empty() ? "" : ";") + entry;
        from = end + 1;
    }
    return kept;
}

void usePluginsBesideQt() {
    const std::string qtDir = qtLibraryDirectory();
    if (qtDir.empty())
        return;
    const std::string plugins = paths::join(qtDir, "plugins");
    const std::string platforms = paths::join(plugins, "platforms");
    if (!files::isDirectory(platforms))
        return; // the system's Qt: its own plugins serve it
    QCoreApplication::setLibraryPaths({QString::fromStdString(plugins)});
    qunsetenv("QT_PLUGIN_PATH");
    // The screen plugin is looked for here before anywhere else.
    qputenv("QT_QPA_PLATFORM_PLUGIN_PATH", QByteArray::fromStdString(platforms));
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    if (requested.isEmpty())
        return;
    const std::string kept =
        availablePlatforms(requested.toStdString(), [&](const std::string& name) {
            return files::isOrdinaryFile(paths::join(platforms, "libq" + name + ".so"));
        });
    if (kept.empty())
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(kept));
}

} // namespace cw::runtime
