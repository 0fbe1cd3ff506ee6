#include "backup/ZipLibrary.h"

#include "common/platform/Paths.h"

namespace cwb {

ZipLibrary::ZipLibrary(const std::string& dir)
    : path_(cw::paths::join(dir, kFileName)), lib_(std::make_unique<cw::SharedLibrary>(path_)) {}

ZipLibrary::ZipLibrary(const ZipFunctions& functions) : fn_(functions), bound_(true) {}

bool ZipLibrary::bind() {
    if (bound_)
        return true;
    const QString file = QString::fromStdString(path_);
    if (!lib_->load()) {
        error_ = QStringLiteral("The compression library '%1' is missing or cannot be loaded.  "
                                "Your files cannot be backed up without it.  "
                                "Please contact your vendor.")
                     .arg(file);
        return false;
    }
    ZipFunctions f;
    QString missing;
    auto resolve = [&](auto& slot, const char* name) {
        slot = lib_->function<std::remove_reference_t<decltype(slot)>>(name);
        if (!slot && missing.isEmpty())
            missing = QString::fromLatin1(name);
    };
    resolve(f.Initialise, "cwZip_Initialise");
    resolve(f.InstallCallback, "cwZip_InstallCallback");
    resolve(f.IncludeEmptyDirectoryEntries, "cwZip_IncludeEmptyDirectoryEntries");
    resolve(f.ArchiveName, "cwZip_ArchiveName");
    resolve(f.Encrypt, "cwZip_Encrypt");
    resolve(f.Include, "cwZip_Include");
    resolve(f.SaveStructure, "cwZip_SaveStructure");
    resolve(f.IncludeHidden, "cwZip_IncludeHidden");
    resolve(f.SetCompressionLevel, "cwZip_SetCompressionLevel");
    resolve(f.Span, "cwZip_Span");
    resolve(f.UseLFN, "cwZip_UseLFN");
    resolve(f.Zip, "cwZip");
    if (!missing.isEmpty()) {
        error_ = QStringLiteral("The compression library '%1' does not provide the operation "
                                "%2.  Your files cannot be backed up with it.  "
                                "Please contact your vendor.")
                     .arg(file, missing);
        return false;
    }
    fn_ = f;
    bound_ = true;
    return true;
}

void* ZipLibrary::symbol(const char* name) {
    if (!lib_ || !lib_->load())
        return nullptr;
    return lib_->symbol(name);
}

} // namespace cwb
