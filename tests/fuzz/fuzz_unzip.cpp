// libFuzzer target over the decompression library: each input is written as a set into a
// scratch folder, listed, and every listed entry (and a few hostile names) extracted with
// and without the directory structure. Anything that appears outside the destination is a
// failure, as is a temporary file left behind.
#include "zip/include/cwunzip.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <ftw.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string g_base, g_set, g_outer, g_dest;

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                out.insert(e->d_name);
        closedir(d);
    }
    return out;
}

int removeOne(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

// A file named like a temporary one that no entry of the listing is named.
bool g_temporaryLeft = false;
std::set<std::string> g_listedNames;
int checkNoTemporary(const char* path, const struct stat*, int, struct FTW* at) {
    const char* name = path + at->base;
    if (std::strstr(name, ".cwtmp") && !g_listedNames.count(name))
        g_temporaryLeft = true;
    return 0;
}

void collect(void* field, const char* text) {
    static_cast<std::vector<std::string>*>(field)->push_back(text ? text : "");
}

std::string field(const std::string& msg, int n) {
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        start = msg.find('|', start);
        if (start == std::string::npos)
            return "";
        ++start;
    }
    const size_t end = msg.find('|', start);
    return msg.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

short answer(int, int action, const char*) {
    static int turn = 0;
    return action == 24 ? static_cast<short>(turn++ % 3) : 0;
}

void setUp() {
    char base[] = "/tmp/cwfuzz-XXXXXX";
    if (!mkdtemp(base))
        std::abort();
    g_base = base;
    g_set = g_base + "/set.bks";
    g_outer = g_base + "/outer";
    g_dest = g_outer + "/dest";
    mkdir(g_outer.c_str(), 0700);
    mkdir(g_dest.c_str(), 0700);
    atexit([] { nftw(g_base.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_base.empty())
        setUp();
    FILE* f = std::fopen(g_set.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    std::vector<std::string> listing;
    CwListSink sink{&listing, collect};
    cwUnzip_Initialise();
    cwUnzip_SetWindowHandle(&sink);
    cwUnzip_ArchiveName(g_set.c_str());
    cwUnzip_View(-1);
    cwUnzip();

    std::string include = "../escape|/tmp/cwfuzz-abs|a/../../escape2|";
    g_listedNames.clear();
    for (const auto& m : listing) {
        const std::string dir = field(m, 4), name = field(m, 5);
        g_listedNames.insert(name);
        for (size_t from = 0; from <= dir.size();) { // and every folder on the way
            const size_t slash = std::min(dir.find('/', from), dir.size());
            g_listedNames.insert(dir.substr(from, slash - from));
            from = slash + 1;
        }
        include += (dir.empty() ? name : dir + "/" + name) + "|";
    }
    for (int structure : {1, 0}) {
        cwUnzip_Initialise();
        cwUnzip_InstallCallback(answer);
        cwUnzip_TestWorkers(2);
        cwUnzip_ArchiveName(g_set.c_str());
        cwUnzip_Decrypt("pw");
        if (structure)
            cwUnzip_RestoreStructure(-1);
        cwUnzip_Include(include.c_str());
        cwUnzip_ExtractTo(g_dest.c_str());
        cwUnzip();
        if (namesIn(g_base) != std::set<std::string>{"outer", "set.bks"} ||
            namesIn(g_outer) != std::set<std::string>{"dest"} ||
            access("/tmp/cwfuzz-abs", F_OK) == 0) {
            std::fprintf(stderr, "written outside the destination\n");
            std::abort();
        }
        nftw(g_dest.c_str(), checkNoTemporary, 16, FTW_PHYS);
        if (g_temporaryLeft) {
            std::fprintf(stderr, "a temporary file was left behind\n");
            std::abort();
        }
        // Empty the destination for the next run; the folder itself stays.
        for (const auto& n : namesIn(g_dest))
            nftw((g_dest + "/" + n).c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
    }
    return 0;
}
