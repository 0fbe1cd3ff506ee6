/* The compression library's C interface (libcwzip.so). Strings are UTF-8; every call
 * returns 0 on success and a negative number otherwise. cwZip runs the whole job and calls
 * the callback synchronously on the caller's thread. */
#ifndef CWZIP_H
#define CWZIP_H

#ifdef __cplusplus
extern "C" {
#endif

typedef short (*CwCallback)(int reserved, int action, const char* message);

int cwZip_Initialise(void);
int cwZip_InstallCallback(CwCallback cb);
int cwZip_IncludeEmptyDirectoryEntries(int on);
int cwZip_ArchiveName(const char* path);
int cwZip_Encrypt(const char* password);
int cwZip_Include(const char* list);
int cwZip_SaveStructure(int mode);
int cwZip_IncludeHidden(int on);
int cwZip_SetCompressionLevel(int level);
int cwZip_Span(int on);
int cwZip_UseLFN(int on);
int cwZip(void);

/* Tests and benchmarks only; each survives cwZip_Initialise.
 * cwZip_TestVolumeLimit caps every volume's size in bytes (0 = no cap).
 * cwZip_TestWorkers sets the number of worker threads (0 = one per usable core).
 * cwZip_TestReadHook is called on a worker thread with a file's path once the file is open,
 * before each piece of its data is read (NULL = none). */
int cwZip_TestVolumeLimit(long long bytes);
int cwZip_TestWorkers(int count);
int cwZip_TestReadHook(void (*hook)(const char* path));

#ifdef __cplusplus
}
#endif

#endif
