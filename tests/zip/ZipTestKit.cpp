#include "ZipTestKit.h"

#include "zip/common/VolumeSet.h"
#include "zip/include/cwunzip.h"
#include "zip/include/cwzip.h"

#include <cstdlib>
#include <sys/wait.h>
#include <zlib.h>

namespace cw::test {

std::vector<Event> Recorder::events;
std::deque<short> Recorder::answers;
std::function<void(const Event&)> Recorder::onEvent;
std::function<short(const Event&)> Recorder::answer;

std::string Event::field(int n) const {
    std::string text = message + "|";
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        start = text.find('|', start);
        if (start == std::string::npos)
            return "";
        ++start;
    }
    size_t end = text.find('|', start);
    return end == std::string::npos ? "" : text.substr(start, end - start);
}

void Recorder::reset() {
    events.clear();
    answers.clear();
    onEvent = nullptr;
    answer = nullptr;
}

short Recorder::callback(int, int action, const char* message) {
    events.push_back({action, message ? message : ""});
    if (onEvent)
        onEvent(events.back());
    if (answer)
        return answer(events.back());
    if (action == 24 && !answers.empty()) {
        short a = answers.front();
        answers.pop_front();
        return a;
    }
    return 0;
}

std::vector<Event> Recorder::only(int action) {
    std::vector<Event> out;
    for (const auto& e : events)
        if (e.action == action)
            out.push_back(e);
    return out;
}

int runZip(const ZipSettings& s) {
    cwZip_Initialise();
    cwZip_InstallCallback(&Recorder::callback);
    cwZip_TestVolumeLimit(s.cap);
    cwZip_TestWorkers(s.workers);
    cwZip_TestReadHook(s.readHook);
    cwZip_TestWriteHook(s.writeHook);
    if (s.emptyDirs)
        cwZip_IncludeEmptyDirectoryEntries(1);
    cwZip_ArchiveName(s.set.c_str());
    if (s.password)
        cwZip_Encrypt(s.password);
    cwZip_Include(s.include.c_str());
    if (s.structure >= 0)
        cwZip_SaveStructure(s.structure);
    if (s.hidden)
        cwZip_IncludeHidden(1);
    if (s.level >= 0)
        cwZip_SetCompressionLevel(s.level);
    cwZip_Span(s.span ? -1 : 0);
    cwZip_UseLFN(s.longNames ? 1 : 0);
    int r = cwZip();
    cwZip_TestVolumeLimit(0);
    cwZip_TestWorkers(0);
    cwZip_TestReadHook(nullptr);
    cwZip_TestWriteHook(nullptr);
    return r;
}

namespace {
void collect(void* field, const char* text) {
    static_cast<std::vector<std::string>*>(field)->push_back(text);
}
} // namespace

std::vector<std::string> listSet(const std::string& set) {
    std::vector<std::string> out;
    CwListSink sink{&out, collect};
    cwUnzip_Initialise();
    cwUnzip_SetWindowHandle(&sink);
    cwUnzip_ArchiveName(set.c_str());
    cwUnzip_View(-1);
    cwUnzip();
    return out;
}

int extract(const std::string& set, const std::string& include, const std::string& dest,
            bool structure, const char* password) {
    cwUnzip_InstallCallback(&Recorder::callback);
    cwUnzip_ArchiveName(set.c_str());
    if (password)
        cwUnzip_Decrypt(password);
    if (structure)
        cwUnzip_RestoreStructure(-1);
    cwUnzip_Include(include.c_str());
    cwUnzip_ExtractTo(dest.c_str());
    int r = cwUnzip();
    cwUnzip_Initialise(); // the next test starts from the defaults
    return r;
}

int shell(const std::string& command) {
    int st = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string sevenZip() {
    return shell("command -v 7zz") == 0 ? "7zz" : "7z";
}

namespace {
void put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
std::string deflateRaw(const std::string& in) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, in.size()) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}
} // namespace

std::string rawZip(const std::vector<RawEntry>& entries) {
    std::string body, dir;
    std::vector<uint32_t> offsets;
    for (const auto& e : entries) {
        offsets.push_back(static_cast<uint32_t>(body.size()));
        const uint32_t crc = static_cast<uint32_t>(crc32(
            0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const std::string payload = e.deflate ? deflateRaw(e.data) : e.data;
        const uint32_t usize =
            static_cast<uint32_t>(e.declaredSize < 0 ? e.data.size() : e.declaredSize);
        const uint32_t offset =
            e.dataOf >= 0 ? offsets[static_cast<size_t>(e.dataOf)] : offsets.back();
        auto header = [&](std::string& s, bool central) {
            put32(s, central ? 0x02014b50 : 0x04034b50);
            if (central)
                put16(s, e.madeBy);
            put16(s, 20);
            put16(s, e.utf8 ? 0x800 : 0);
            put16(s, e.deflate ? 8 : 0);
            put32(s, 0);
            put32(s, crc);
            put32(s, static_cast<uint32_t>(payload.size()));
            put32(s, usize);
            put16(s, static_cast<uint32_t>(e.name.size()));
            put16(s, 0);
            if (central) {
                put16(s, 0);
                put16(s, 0);
                put16(s, 0);
                put32(s, e.mode << 16);
                put32(s, offset);
            }
            s += e.name;
        };
        if (e.dataOf < 0) {
            header(body, false);
            body += payload;
        }
        header(dir, true);
    }
    std::string out = body + dir;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, static_cast<uint32_t>(dir.size()));
    put32(out, static_cast<uint32_t>(body.size()));
    put16(out, 0);
    return out;
}

std::vector<std::pair<std::string, long long>> entryOffsets(const std::string& set) {
    std::vector<std::pair<std::string, long long>> out;
    cw::zip::VolumeSet volumes(set, nullptr);
    if (volumes.open())
        volumes.forEachEntry([&](const cw::zip::CdEntry& e) {
            out.emplace_back(e.name, static_cast<long long>(e.localOffset));
            return true;
        });
    return out;
}

} // namespace cw::test
