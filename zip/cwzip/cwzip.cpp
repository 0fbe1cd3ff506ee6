// The exported C interface of libcwzip.so: options are kept until cwZip runs the job.
#include "../include/cwzip.h"

#include "ZipJob.h"

#include <cstring>
#include <utility>

#define CW_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
cw::zip::ZipOptions g_options;
}

CW_EXPORT int cwZip_Initialise(void) {
    // The test cap is a property of the test, not an option of the run: it survives.
    cw::zip::ZipOptions fresh;
    fresh.volumeCap = g_options.volumeCap;
    fresh.workers = g_options.workers;
    fresh.readHook = g_options.readHook;
    fresh.writeHook = g_options.writeHook;
    fresh.readBack = g_options.readBack;
    explicit_bzero(g_options.password.data(), g_options.password.size());
    g_options = std::move(fresh);
    return 0;
}

CW_EXPORT int cwZip_InstallCallback(CwCallback cb) {
    g_options.callback = cb;
    return 0;
}

CW_EXPORT int cwZip_IncludeEmptyDirectoryEntries(int on) {
    g_options.emptyDirs = on != 0;
    return 0;
}

CW_EXPORT int cwZip_ArchiveName(const char* path) {
    g_options.setPath = path ? path : "";
    return path ? 0 : -1;
}

CW_EXPORT int cwZip_Encrypt(const char* password) {
    explicit_bzero(g_options.password.data(), g_options.password.size());
    g_options.encrypt = password != nullptr;
    g_options.password = password ? password : "";
    return 0;
}

CW_EXPORT int cwZip_Include(const char* list) {
    g_options.include = list ? list : "";
    return list ? 0 : -1;
}

CW_EXPORT int cwZip_SaveStructure(int mode) {
    g_options.structure = mode == 0 ? 0 : 2;
    return mode == 0 || mode == 2 ? 0 : -1;
}

CW_EXPORT int cwZip_IncludeHidden(int on) {
    g_options.hidden = on != 0;
    return 0;
}

CW_EXPORT int cwZip_SetCompressionLevel(int level) {
    // 0 none, 2 minimum, 1 normal, 3 maximum.
    static const int deflate[] = {0, 6, 1, 9};
    if (level < 0 || level > 3)
        return -1;
    g_options.level = deflate[level];
    return 0;
}

CW_EXPORT int cwZip_Span(int on) {
    g_options.span = on != 0;
    return 0;
}

CW_EXPORT int cwZip_UseLFN(int on) {
    g_options.longNames = on != 0;
    return 0;
}

CW_EXPORT int cwZip_TestVolumeLimit(long long bytes) {
    g_options.volumeCap = bytes > 0 ? bytes : 0;
    return 0;
}

CW_EXPORT int cwZip_TestWorkers(int count) {
    g_options.workers = count > 0 ? count : 0;
    return count >= 0 ? 0 : -1;
}

CW_EXPORT int cwZip_TestReadHook(void (*hook)(const char* path)) {
    g_options.readHook = hook;
    return 0;
}

CW_EXPORT int cwZip_TestWriteHook(void (*hook)(unsigned char* data, size_t size,
                                               long long offset)) {
    g_options.writeHook = hook;
    return 0;
}

CW_EXPORT int cwZip_TestReadBack(int on) {
    g_options.readBack = on != 0;
    return 0;
}

CW_EXPORT int cwZip(void) {
    return cw::zip::runZip(g_options);
}
