#include "tests/restore/FakeUnzip.h"

namespace cwr::test {

namespace {

FakeUnzip* fake = nullptr;

void record(const std::string& call) {
    if (fake)
        fake->calls.push_back(call);
}

int Initialise() {
    record("Initialise");
    return 0;
}
int InstallCallback(CwCallback cb) {
    record("InstallCallback");
    if (fake)
        fake->callback = cb;
    return 0;
}
int SetWindowHandle(const CwListSink* sink) {
    record("SetWindowHandle");
    if (fake)
        fake->sink = sink;
    return 0;
}
int ArchiveName(const char* path) {
    record(std::string("ArchiveName:") + path);
    return 0;
}
int View(int on) {
    record("View:" + std::to_string(on));
    if (fake)
        fake->view = on != 0;
    return 0;
}
int Decrypt(const char* password) {
    record(std::string("Decrypt:") + password);
    return 0;
}
int RestoreStructure(int on) {
    record("RestoreStructure:" + std::to_string(on));
    return 0;
}
int Include(const char* list) {
    record(std::string("Include:") + list);
    return 0;
}
int ExtractTo(const char* dir) {
    record(std::string("ExtractTo:") + dir);
    if (fake)
        fake->dest = dir;
    return 0;
}
int Unzip() {
    record("Unzip");
    if (!fake)
        return -1;
    if (fake->view) {
        fake->view = false;
        for (const auto& m : fake->listing)
            if (fake->sink)
                fake->sink->setText(fake->sink->field, m.c_str());
        return 0;
    }
    if (fake->onExtract)
        fake->onExtract(fake->dest);
    for (const auto& e : fake->events) {
        const short answer = fake->callback ? fake->callback(0, e.action, e.message.c_str()) : 0;
        fake->answers.push_back(answer);
    }
    return 0;
}

} // namespace

FakeUnzip::FakeUnzip() {
    fake = this;
}

FakeUnzip::~FakeUnzip() {
    if (fake == this)
        fake = nullptr;
}

UnzipFunctions FakeUnzip::functions() {
    UnzipFunctions f;
    f.Initialise = &Initialise;
    f.InstallCallback = &InstallCallback;
    f.SetWindowHandle = &SetWindowHandle;
    f.ArchiveName = &ArchiveName;
    f.View = &View;
    f.Decrypt = &Decrypt;
    f.RestoreStructure = &RestoreStructure;
    f.Include = &Include;
    f.ExtractTo = &ExtractTo;
    f.Unzip = &Unzip;
    return f;
}

int FakeUnzip::count(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0)
            ++n;
    return n;
}

std::string FakeUnzip::last(const std::string& prefix) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->rfind(prefix, 0) == 0)
            return it->substr(std::min(it->size(), prefix.size() + 1));
    return {};
}

std::string entryMessage(const std::string& dir, const std::string& name, const std::string& size,
                         const std::string& encrypted) {
    // Fields 1 to 13; 1, 3 and 7 to 12 carry what the reader ignores.
    return "x|21|0|" + dir + "|" + name + "|" + size + "|0|0|0|0|0|0|" + encrypted;
}

} // namespace cwr::test
