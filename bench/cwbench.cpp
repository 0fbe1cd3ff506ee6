// Benchmark driver: backs a tree up and restores it through the libraries' C interface,
// loaded with dlopen as the programs do, and measures any command's time and peak memory.
//   cwbench zip <lib dir> <list file> <set> [level] [workers (0: one per core)] [password]
//                                         CWBENCH_READBACK=0: the set is not read back
//   cwbench readback <file>               reads the file back from the disk as the writer
//                                         checks a volume; prints "<seconds> <MB/s> <crc>"
//   cwbench derive <count> <threads>      prints the seconds <count> AES key derivations take
//   cwbench unzip <lib dir> <set> <dest> <list file>
//   cwbench zipaes <lib dir> <list file> <set> <password>
//   cwbench measure <command> [args...]   prints "<seconds> <peak KiB>" on stderr
#include "zip/cwzip/WinZipAes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <libdeflate.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Callback = short (*)(int, int, const char*);
int g_failures = 0;

short callback(int, int action, const char* message) {
    if (action == 22 || action == 23 || action == 255) {
        ++g_failures;
        std::fprintf(stderr, "event %d: %s\n", action, message);
    }
    return 0;
}

template <class F> F bind(void* lib, const char* name) {
    void* sym = dlsym(lib, name);
    if (!sym) {
        std::fprintf(stderr, "missing %s\n", name);
        std::exit(2);
    }
    return reinterpret_cast<F>(sym);
}

std::string slurp(const char* path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void* open(const std::string& dir, const char* name) {
    void* lib = dlopen((dir + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        std::fprintf(stderr, "%s\n", dlerror());
        std::exit(2);
    }
    return lib;
}

int zip(char** argv, int argc) {
    void* lib = open(argv[2], "libcwzip.so");
    bind<int (*)()>(lib, "cwZip_Initialise")();
    bind<int (*)(Callback)>(lib, "cwZip_InstallCallback")(callback);
    bind<int (*)(const char*)>(lib, "cwZip_ArchiveName")(argv[4]);
    std::string list = slurp(argv[3]);
    bind<int (*)(const char*)>(lib, "cwZip_Include")(list.c_str());
    bind<int (*)(int)>(lib, "cwZip_SetCompressionLevel")(argc > 5 ? std::atoi(argv[5]) : 1);
    bind<int (*)(int)>(lib, "cwZip_TestWorkers")(argc > 6 ? std::atoi(argv[6]) : 0);
    if (argc > 7)
        bind<int (*)(const char*)>(lib, "cwZip_Encrypt")(argv[7]);
    if (const char* rb = std::getenv("CWBENCH_READBACK"); rb && !std::strcmp(rb, "0"))
        bind<int (*)(int)>(lib, "cwZip_TestReadBack")(0);
    int r = bind<int (*)()>(lib, "cwZip")();
    return r == 0 && g_failures == 0 ? 0 : 1;
}

// What the writer does to each volume once it is complete: sync, drop its pages, read it
// back in 1 MiB blocks with a CRC-32.
int readBack(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 2;
    const auto start = std::chrono::steady_clock::now();
    fsync(fd);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    std::vector<unsigned char> buf(1 << 20);
    unsigned crc = 0;
    long long total = 0;
    for (ssize_t got; (got = pread(fd, buf.data(), buf.size(), total)) > 0; total += got)
        crc = libdeflate_crc32(crc, buf.data(), static_cast<size_t>(got));
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(fd);
    // The checksum is printed too, so that reading it is not optimised away.
    std::printf("%.3f %.0f %08x\n", secs, total / 1e6 / secs, crc);
    return total > 0 ? 0 : 1;
}

// ---- Restore rows (bench/restore.sh) ----

// CWBENCH_WORKERS: the extraction's workers (0 or unset: as many as cores);
// CWBENCH_PASSWORD: the set's password.
int unzip(char** argv) {
    void* lib = open(argv[2], "libcwunzip.so");
    bind<int (*)()>(lib, "cwUnzip_Initialise")();
    bind<int (*)(Callback)>(lib, "cwUnzip_InstallCallback")(callback);
    if (const char* workers = std::getenv("CWBENCH_WORKERS"))
        bind<int (*)(int)>(lib, "cwUnzip_TestWorkers")(std::atoi(workers));
    if (const char* password = std::getenv("CWBENCH_PASSWORD"))
        bind<int (*)(const char*)>(lib, "cwUnzip_Decrypt")(password);
    bind<int (*)(const char*)>(lib, "cwUnzip_ArchiveName")(argv[3]);
    bind<int (*)(int)>(lib, "cwUnzip_RestoreStructure")(-1);
    std::string list = slurp(argv[5]);
    bind<int (*)(const char*)>(lib, "cwUnzip_Include")(list.c_str());
    bind<int (*)(const char*)>(lib, "cwUnzip_ExtractTo")(argv[4]);
    int r = bind<int (*)()>(lib, "cwUnzip")();
    return r == 0 && g_failures == 0 ? 0 : 1;
}

// An encrypted set to restore: the files of the list, normal level, AES-256.
int zipEncrypted(char** argv) {
    void* lib = open(argv[2], "libcwzip.so");
    bind<int (*)()>(lib, "cwZip_Initialise")();
    bind<int (*)(Callback)>(lib, "cwZip_InstallCallback")(callback);
    bind<int (*)(const char*)>(lib, "cwZip_ArchiveName")(argv[4]);
    bind<int (*)(const char*)>(lib, "cwZip_Encrypt")(argv[5]);
    std::string list = slurp(argv[3]);
    bind<int (*)(const char*)>(lib, "cwZip_Include")(list.c_str());
    int r = bind<int (*)()>(lib, "cwZip")();
    return r == 0 && g_failures == 0 ? 0 : 1;
}

// The writer's own key derivation, spread over threads as its workers spread it: the
// least time the keys of that many encrypted files can take.
int derive(char** argv) {
    const int count = std::atoi(argv[2]);
    const int threads = std::max(1, std::atoi(argv[3]));
    cw::zip::KeyDeriver keys("Pass Word");
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            uint8_t salt[cw::zip::kAesSaltSize] = {static_cast<uint8_t>(t)};
            cw::zip::AesKeys k;
            for (int i = t; i < count; i += threads)
                keys.derive(salt, k);
        });
    for (auto& th : pool)
        th.join();
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f\n", secs);
    return 0;
}

int measure(char** argv) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%.3f %ld\n", secs, ru.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && !std::strcmp(argv[1], "zip"))
        return zip(argv, argc);
    if (argc >= 6 && !std::strcmp(argv[1], "unzip"))
        return unzip(argv);
    if (argc >= 6 && !std::strcmp(argv[1], "zipaes"))
        return zipEncrypted(argv);
    if (argc >= 4 && !std::strcmp(argv[1], "derive"))
        return derive(argv);
    if (argc >= 3 && !std::strcmp(argv[1], "readback"))
        return readBack(argv[2]);
    if (argc >= 3 && !std::strcmp(argv[1], "measure"))
        return measure(argv);
    std::fprintf(stderr, "usage: see the comment at the top of cwbench.cpp\n");
    return 2;
}
