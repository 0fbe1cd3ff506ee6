#include "tests/backup/FakeZip.h"

namespace cwb::test {

std::vector<std::string> FakeZip::calls;
CwCallback FakeZip::callback = nullptr;
std::vector<std::pair<int, std::string>> FakeZip::events;
std::vector<short> FakeZip::answers;
std::function<void()> FakeZip::onZip;

namespace {

int note(std::string call) {
    FakeZip::calls.push_back(std::move(call));
    return 0;
}
std::string num(int v) {
    return std::to_string(v);
}

} // namespace

ZipFunctions FakeZip::functions() {
    ZipFunctions f;
    f.Initialise = [] { return note("Initialise()"); };
    f.InstallCallback = [](CwCallback cb) {
        FakeZip::callback = cb;
        return note("InstallCallback()");
    };
    f.IncludeEmptyDirectoryEntries = [](int on) {
        return note("IncludeEmptyDirectoryEntries(" + num(on) + ")");
    };
    f.ArchiveName = [](const char* p) { return note("ArchiveName(" + std::string(p) + ")"); };
    f.Encrypt = [](const char* p) { return note("Encrypt(" + std::string(p) + ")"); };
    f.Include = [](const char* p) { return note("Include(" + std::string(p) + ")"); };
    f.SaveStructure = [](int m) { return note("SaveStructure(" + num(m) + ")"); };
    f.IncludeHidden = [](int on) { return note("IncludeHidden(" + num(on) + ")"); };
    f.SetCompressionLevel = [](int l) { return note("SetCompressionLevel(" + num(l) + ")"); };
    f.Span = [](int on) { return note("Span(" + num(on) + ")"); };
    f.UseLFN = [](int on) { return note("UseLFN(" + num(on) + ")"); };
    f.Zip = [] {
        note("Zip()");
        for (const auto& [action, message] : FakeZip::events)
            if (FakeZip::callback)
                FakeZip::answers.push_back(FakeZip::callback(0, action, message.c_str()));
        if (FakeZip::onZip)
            FakeZip::onZip();
        return 0;
    };
    return f;
}

void FakeZip::reset() {
    calls.clear();
    callback = nullptr;
    events.clear();
    answers.clear();
    onZip = nullptr;
}

std::vector<std::string> FakeZip::callsFrom(const std::string& prefix) {
    std::vector<std::string> out;
    bool on = prefix.empty();
    for (const auto& c : calls) {
        if (!on && c.rfind(prefix, 0) == 0)
            on = true;
        if (on)
            out.push_back(c);
    }
    return out;
}

} // namespace cwb::test
