// The exported C interface of libcwunzip.so: options are kept until cwUnzip runs.
#include "../include/cwunzip.h"

#include "UnzipJob.h"

#include <cstring>

#define CW_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
cw::zip::UnzipOptions g_options;

// The password is kept only until the run that needs it ends.
void wipePassword() {
    explicit_bzero(g_options.password.data(), g_options.password.size());
    g_options.password.clear();
    g_options.decrypt = false;
}
} // namespace

CW_EXPORT int cwUnzip_Initialise(void) {
    wipePassword();
    g_options = cw::zip::UnzipOptions{};
    return 0;
}

CW_EXPORT int cwUnzip_InstallCallback(CwCallback cb) {
    g_options.callback = cb;
    return 0;
}

CW_EXPORT int cwUnzip_SetWindowHandle(const CwListSink* sink) {
    g_options.sink = sink ? cw::zip::ListSink{sink->field, sink->setText} : cw::zip::ListSink{};
    return sink ? 0 : -1;
}

CW_EXPORT int cwUnzip_ArchiveName(const char* path) {
    g_options.setPath = path ? path : "";
    return path ? 0 : -1;
}

CW_EXPORT int cwUnzip_View(int on) {
    g_options.view = on != 0;
    return 0;
}

CW_EXPORT int cwUnzip_Test(int on) {
    g_options.test = on != 0;
    return 0;
}

CW_EXPORT int cwUnzip_Decrypt(const char* password) {
    wipePassword();
    g_options.decrypt = password != nullptr;
    g_options.password = password ? password : "";
    return 0;
}

CW_EXPORT int cwUnzip_RestoreStructure(int on) {
    g_options.structure = on != 0;
    return 0;
}

CW_EXPORT int cwUnzip_Include(const char* list) {
    g_options.include = list ? list : "";
    return list ? 0 : -1;
}

CW_EXPORT int cwUnzip_ExtractTo(const char* dir) {
    g_options.destination = dir ? dir : "";
    return dir ? 0 : -1;
}

CW_EXPORT int cwUnzip(void) {
    if (g_options.view) {
        // A listing applies to its one run and leaves the library ready to extract, flat.
        int r = cw::zip::runList(g_options);
        g_options.view = false;
        g_options.structure = false;
        return r;
    }
    const int r = cw::zip::runExtract(g_options);
    // A test, like a listing, applies to its one run.
    g_options.test = false;
    wipePassword();
    return r;
}

CW_EXPORT int cwUnzip_TestWorkers(int workers) {
    cw::zip::setExtractWorkers(workers > 0 ? workers : 0);
    return 0;
}
