#pragma once
// A temporary application folder with a profile, a scripted desktop and the cwb program
// struct, with the compression library replaced by a recording fake unless a test binds
// the real one.
#include "backup/BackupProgram.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestEnv.h"

#include <QListWidget>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cwb::test {

using Sections = std::vector<std::pair<std::string, std::vector<std::string>>>;

// The profile cwkit builds for "Inventory Manager", with no list lines; tests edit it.
Sections defaultProfile();
void setSection(Sections& s, const std::string& name, std::vector<std::string> lines);
void removeSection(Sections& s, const std::string& name);
std::string profileText(const Sections& s);

class BackupTest : public ::testing::Test {
protected:
    BackupTest();
    ~BackupTest() override;

    // Writes <app>/cwkcon32.dll.
    void writeProfile(const Sections& s);
    // A program run from the application folder; uses the fake library unless realLibrary.
    BackupProgram& program(bool realLibrary = false);
    // Start-up of cwb; true when the program goes on.
    bool start(bool realLibrary = false);

    cw::test::TestEnv env;
    cw::test::ScriptedDesktop desktop;
    std::string app; // the application folder (cwb's own directory)
    std::unique_ptr<BackupProgram> prog;
};

QString q(const std::string& s);
std::vector<std::string> listItems(QListWidget* list);

} // namespace cwb::test
