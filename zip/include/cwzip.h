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

/* Tests only: caps every volume's size in bytes (0 = no cap). */
int cwZip_TestVolumeLimit(long long bytes);

#ifdef __cplusplus
}
#endif

#endif
