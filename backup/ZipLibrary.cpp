#include "backup/ZipLibrary.h"

namespace cwb {

bool ZipLibrary::bind() {
    auto operations = [](ZipFunctions& f, auto&& op) {
        op(f.Initialise, "cwZip_Initialise");
        op(f.InstallCallback, "cwZip_InstallCallback");
        op(f.IncludeEmptyDirectoryEntries, "cwZip_IncludeEmptyDirectoryEntries");
        op(f.ArchiveName, "cwZip_ArchiveName");
        op(f.Encrypt, "cwZip_Encrypt");
        op(f.Include, "cwZip_Include");
        op(f.SaveStructure, "cwZip_SaveStructure");
        op(f.IncludeHidden, "cwZip_IncludeHidden");
        op(f.SetCompressionLevel, "cwZip_SetCompressionLevel");
        op(f.Span, "cwZip_Span");
        op(f.UseLFN, "cwZip_UseLFN");
        op(f.Zip, "cwZip");
    };
    return bindAll(operations,
                   QStringLiteral("The compression library '%1' is missing or cannot be loaded.  "
                                  "Your files cannot be backed up without it.  "
                                  "Please contact your vendor."),
                   QStringLiteral("The compression library '%1' does not provide the operation "
                                  "%2.  Your files cannot be backed up with it.  "
                                  "Please contact your vendor."));
}

void* ZipLibrary::symbol(const char* name) {
    cw::SharedLibrary* lib = library();
    if (!lib || !lib->load())
        return nullptr;
    return lib->symbol(name);
}

} // namespace cwb
