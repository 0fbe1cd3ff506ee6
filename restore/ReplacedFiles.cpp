#include "restore/ReplacedFiles.h"

#include "zip/include/cwevents.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <sys/stat.h>

namespace cwr {

namespace {

bool trash(QFile& file) {
    // Qt falls back on the home trash when a drive has none of its own, and when it cannot
    // make that one either it uses the current folder instead. So the home trash is made
    // first (a new account may not have it yet), and without it nothing is moved.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return false;
    const QString home = data + QStringLiteral("/Trash");
    if (!QFileInfo(home).isDir()) {
        if (!QDir().mkpath(home))
            return false;
        QFile::setPermissions(home, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }
    return file.moveToTrash();
}

} // namespace

bool moveReplacedToTrash(const std::string& path, std::string* trashedAs) {
    // A name that is not UTF-8 does not survive the way through QString: moveToTrash then
    // finds no file and the file is replaced as it is.
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!trash(file))
        return false;
    if (trashedAs)
        *trashedAs = QFile::encodeName(file.fileName()).toStdString();
    return true;
}

int ReplaceAnswers::answer(const std::string& number, const std::string& path, int userAnswer) {
    if (all_)
        userAnswer = CW_ANSWER_REPLACE_ALL;
    if (userAnswer != CW_ANSWER_REPLACE && userAnswer != CW_ANSWER_REPLACE_ALL)
        return userAnswer;
    all_ = userAnswer == CW_ANSWER_REPLACE_ALL;
    // Where there is no usable trash the file is replaced as it is.
    trashedAs_.clear();
    if (moveReplacedToTrash(path, &trashedAs_)) {
        number_ = number;
        path_ = path;
    }
    return CW_ANSWER_REPLACE;
}

void ReplaceAnswers::failed(const std::string& number) {
    if (trashedAs_.empty() || number != number_)
        return;
    // <trash>/files/<name> has its record in <trash>/info/<name>.trashinfo.
    const std::string trashed = trashedAs_;
    trashedAs_.clear();
    struct stat st {};
    if (lstat(path_.c_str(), &st) == 0 || std::rename(trashed.c_str(), path_.c_str()) != 0)
        return;
    const std::string::size_type slash = trashed.rfind('/');
    const std::string files = trashed.substr(0, slash);
    const std::string info =
        files.substr(0, files.rfind('/')) + "/info" + trashed.substr(slash) + ".trashinfo";
    std::remove(info.c_str());
}

} // namespace cwr
