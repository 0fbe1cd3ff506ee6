#include "tests/backup/BackupFixture.h"

#include "backup/ZipLibrary.h"
#include "tests/backup/FakeZip.h"

#include <QListWidget>

namespace cwb::test {

Sections defaultProfile() {
    return {{"Description", {"Inventory Manager"}},
            {"Application", {}},
            {"Windows", {}},
            {"System", {}},
            {"Encrypt", {"false"}},
            {"Longfile", {"true"}},
            {"EmptyDir", {"0"}},
            {"Hidden", {"cwNever"}},
            {"FileStructure", {"cwStructure_Relative"}},
            {"Support", {"555-0100"}},
            {"Startup", {"No"}},
            {"Customize Compression", {"No"}}};
}

void setSection(Sections& s, const std::string& name, std::vector<std::string> lines) {
    for (auto& [n, body] : s) {
        if (n == name) {
            body = std::move(lines);
            return;
        }
    }
    s.emplace_back(name, std::move(lines));
}

void removeSection(Sections& s, const std::string& name) {
    std::erase_if(s, [&](const auto& p) { return p.first == name; });
}

std::string profileText(const Sections& s) {
    std::string t;
    for (const auto& [name, body] : s) {
        t += "[" + name + "]\r\n";
        for (const auto& line : body)
            t += line + "\r\n";
    }
    return t;
}

BackupTest::BackupTest() : app(env.makeDir("app")) {
    FakeZip::reset();
}

BackupTest::~BackupTest() {
    prog.reset();
    FakeZip::reset();
}

void BackupTest::writeProfile(const Sections& s) {
    env.writeFile("app/cwkcon32.dll", profileText(s));
}

BackupProgram& BackupTest::program(bool realLibrary) {
    if (!prog) {
        prog = std::make_unique<BackupProgram>(desktop, app);
        if (!realLibrary)
            prog->zip = std::make_unique<ZipLibrary>(FakeZip::functions());
    }
    return *prog;
}

bool BackupTest::start(bool realLibrary) {
    return program(realLibrary).start();
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<std::string> listItems(QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->item(i)->text().toStdString());
    return out;
}

} // namespace cwb::test
