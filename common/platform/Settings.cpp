#include "common/platform/Settings.h"

#include "common/platform/FilePaths.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cw::settings {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string asText(const QVariant& v) {
    // A hand-edited "a, b" comes back from the INI reader as a list; keep it as text.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(", ").toStdString();
    return v.toString().toStdString();
}

} // namespace

std::string storePath(const std::string& app) {
    return paths::join(paths::join(paths::systemDirectory(), "Caskwell"), app + ".conf");
}

std::string get(const std::string& app, const std::string& section, const std::string& key,
                const std::string& def) {
    std::string path = storePath(app);
    if (::access(path.c_str(), R_OK) != 0)
        return def;
    // Opened at each use: Qt settles its own default location once per process. A file that
    // is not INI is read as leniently as Qt can; whatever it cannot make sense of is simply
    // not there, so the caller gets its default.
    QSettings store(q(path), QSettings::IniFormat);
    if (store.status() == QSettings::AccessError)
        return def;
    store.beginGroup(q(section));
    QVariant v = store.value(q(key));
    if (!v.isValid())
        return def;
    return asText(v);
}

bool save(const std::string& app, const std::string& section, const std::string& key,
          const std::string& value) {
    std::string path = storePath(app);
    // The folders are created private too, from the first one that is missing.
    std::string dir = paths::parent(path);
    std::vector<std::string> missing;
    for (std::string d = dir; !d.empty() && d != "/" && ::access(d.c_str(), F_OK) != 0;
         d = paths::parent(d))
        missing.push_back(d);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        ::mkdir(it->c_str(), 0700);
    // Create the file private before anything is written into it.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    {
        QSettings store(q(path), QSettings::IniFormat);
        // A file that is not INI is rewritten as a sound one: what Qt could parse out of it
        // is kept, the rest was never usable.
        if (store.status() == QSettings::AccessError || !store.isWritable())
            return false;
        store.beginGroup(q(section));
        store.setValue(q(key), q(value));
        store.endGroup();
        store.sync();
        if (store.status() == QSettings::AccessError)
            return false;
    }
    ::chmod(path.c_str(), 0600);
    return true;
}

} // namespace cw::settings
