#include "restore/UnzipLibrary.h"

namespace cwr {

bool UnzipLibrary::bind() {
    auto operations = [](UnzipFunctions& f, auto&& op) {
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
    };
    return bindAll(operations,
                   QStringLiteral("The decompression library '%1' is missing or cannot be "
                                  "loaded.  Your files cannot be restored without it.  "
                                  "Please contact your vendor."),
                   QStringLiteral("The decompression library '%1' does not provide the "
                                  "operation %2.  Your files cannot be restored with it.  "
                                  "Please contact your vendor."));
}

void* UnzipLibrary::symbol(const char* name) {
    cw::SharedLibrary* lib = library();
    if (!lib || !lib->load())
        return nullptr;
    return lib->symbol(name);
}

} // namespace cwr
