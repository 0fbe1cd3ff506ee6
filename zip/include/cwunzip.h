/* The decompression library's C interface (libcwunzip.so). Strings are UTF-8; every call
 * returns 0 on success and a negative number otherwise. cwUnzip runs the whole job and calls
 * the callback (or the listing sink) synchronously on the caller's thread. */
#ifndef CWUNZIP_H
#define CWUNZIP_H

#ifdef __cplusplus
extern "C" {
#endif

typedef short (*CwCallback)(int reserved, int action, const char* message);
/* Receives listing messages: setText replaces the target field's text, once per entry. */
typedef struct CwListSink {
    void* field;
    void (*setText)(void* field, const char* text);
} CwListSink;

int cwUnzip_Initialise(void);
int cwUnzip_InstallCallback(CwCallback cb);
int cwUnzip_SetWindowHandle(const CwListSink* sink);
int cwUnzip_ArchiveName(const char* path);
int cwUnzip_View(int on);
/* Non-zero: the next cwUnzip reads, decrypts and checks every entry of the set and writes
 * nothing (the include list and destination are not used). Events 17 and 23 report each
 * entry. Applies to that one run. */
int cwUnzip_Test(int on);
int cwUnzip_Decrypt(const char* password);
int cwUnzip_RestoreStructure(int on);
int cwUnzip_Include(const char* list);
int cwUnzip_ExtractTo(const char* dir);
int cwUnzip(void);

/* Tests and benchmarks only: extraction workers (0 = as many as the machine has cores). */
int cwUnzip_TestWorkers(int workers);

#ifdef __cplusplus
}
#endif

#endif
