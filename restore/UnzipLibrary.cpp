#include "restore/UnzipLibrary.h"

namespace cwr {

bool UnzipLibrary::bind() {
    const Status status = bindAll([](UnzipFunctions& f, auto&& op) {
        op(f.Initialise, "cwUnzip_Initialise");
        op(f.InstallCallback, "cwUnzip_InstallCallback");
        op(f.SetWindowHandle, "cwUnzip_SetWindowHandle");
        op(f.ArchiveName, "cwUnzip_ArchiveName");
        op(f.View, "cwUnzip_View");
        op(f.Decrypt, "cwUnzip_Decrypt");
        op(f.RestoreStructure, "cwUnzip_RestoreStructure");
        op(f.Include, "cwUnzip_Include");
        op(f.ExtractTo, "cwUnzip_ExtractTo");
        op(f.Unzip, "cwUnzip");
    });
    const QString file = QString::fromStdString(path());
    if (status == Status::NotLoaded)
        error_ = QStringLiteral("The decompression library '%1' is missing or cannot be "
                                "loaded.  Your files cannot be restored without it.  "
                                "Please contact your vendor.")
                     .arg(file);
    else if (status == Status::MissingOperation)
        error_ = QStringLiteral("The decompression library '%1' does not provide the "
                                "operation %2.  Your files cannot be restored with it.  "
                                "Please contact your vendor.")
                     .arg(file, QString::fromStdString(missingOperation()));
    return status == Status::Bound;
}

} // namespace cwr
