#include "restore/UnzipLibrary.h"

#include "common/platform/Paths.h"

#include <type_traits>

namespace cwr {

UnzipLibrary::UnzipLibrary(const std::string& dir)
    : path_(cw::paths::join(dir, kFileName)), lib_(std::make_unique<cw::SharedLibrary>(path_)) {}

UnzipLibrary::UnzipLibrary(const UnzipFunctions& functions) : fn_(functions), bound_(true) {}

bool UnzipLibrary::bind() {
    if (bound_)
        return true;
    const QString file = QString::fromStdString(path_);
    if (!lib_->load()) {
        error_ = QStringLiteral("The decompression library '%1' is missing or cannot be "
                                "loaded.  Your files cannot be restored without it.  "
                                "Please contact your vendor.")
                     .arg(file);
        return false;
    }
    UnzipFunctions f;
    QString missing;
    auto resolve = [&](auto& slot, const char* name) {
        slot = lib_->function<std::remove_reference_t<decltype(slot)>>(name);
        if (!slot && missing.isEmpty())
            missing = QString::fromLatin1(name);
    };
    resolve(f.Initialise, "cwUnzip_Initialise");
    resolve(f.InstallCallback, "cwUnzip_InstallCallback");
    resolve(f.SetWindowHandle, "cwUnzip_SetWindowHandle");
    resolve(f.ArchiveName, "cwUnzip_ArchiveName");
    resolve(f.View, "cwUnzip_View");
    resolve(f.Decrypt, "cwUnzip_Decrypt");
    resolve(f.RestoreStructure, "cwUnzip_RestoreStructure");
    resolve(f.Include, "cwUnzip_Include");
    resolve(f.ExtractTo, "cwUnzip_ExtractTo");
    resolve(f.Unzip, "cwUnzip");
    if (!missing.isEmpty()) {
        error_ = QStringLiteral("The decompression library '%1' does not provide the "
                                "operation %2.  Your files cannot be restored with it.  "
                                "Please contact your vendor.")
                     .arg(file, missing);
        return false;
    }
    fn_ = f;
    bound_ = true;
    return true;
}

} // namespace cwr
