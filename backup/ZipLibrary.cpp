#include "backup/ZipLibrary.h"

#include "backup/BackupPlan.h"

#include <strings.h>

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

void runBackup(const ZipFunctions& api, BackupPlan& plan, const std::string& setPath,
               const std::string& includeList) {
    using namespace zipcodes;
    if (plan.emptyDirectoryEntries())
        api.IncludeEmptyDirectoryEntries(kOn);
    api.ArchiveName(setPath.c_str());
    if (plan.encrypt)
        api.Encrypt(plan.password.c_str());
    // The library has its own copy now, which it wipes when the run ends.
    explicit_bzero(plan.password.data(), plan.password.size());
    plan.password.clear();
    api.Include(includeList.c_str());
    if (const auto mode = plan.structureMode())
        api.SaveStructure(*mode);
    if (plan.includesHidden())
        api.IncludeHidden(kOn);
    if (const auto level = plan.libraryLevel())
        api.SetCompressionLevel(*level);
    api.Span(plan.span ? kSpanDisks : kOff);
    api.UseLFN(plan.longNames() ? kOn : kOff);
    api.Zip();
}

} // namespace cwb
