/* The compression library's C interface (libcwzip.so). Strings are UTF-8; every call
 * returns 0 on success and a negative number otherwise. cwZip runs the whole job and calls
 * the callback synchronously on the caller's thread. */
#ifndef CWZIP_H
#define CWZIP_H

#include <stddef.h>

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
 * before each piece of its data is read (NULL = none).
 * cwZip_TestWriteHook is called on the caller's thread with each block of bytes on its way
 * into a volume, after the read-back checksum has seen it, and may change it (offset: where
 * the block begins in its volume; NULL = none).
 * cwZip_TestReadBack(0) skips the read-back of each volume (for measuring its cost). */
int cwZip_TestVolumeLimit(long long bytes);
int cwZip_TestWorkers(int count);
int cwZip_TestReadHook(void (*hook)(const char* path));
int cwZip_TestWriteHook(void (*hook)(unsigned char* data, size_t size, long long offset));
int cwZip_TestReadBack(int on);

#ifdef __cplusplus
}
#endif

#endif
