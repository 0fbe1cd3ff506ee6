// The typed profile: the one writer gives the file cwkit always wrote, the one reader gives
// it back, and absence stays apart from every value.
#include "common/profile/Profile.h"
#include "common/profile/ProfileFile.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

using namespace cw;
using namespace cw::profile;

namespace {

// The profile of the kit's documentation, byte for byte.
const std::string kInventoryManager = "[Description]\r\nInventory Manager\r\n"
                                      "[Application]\r\nData\r\nReports/Monthly\r\n"
                                      "[Windows]\r\ninvmgr.ini\r\n"
                                      "[System]\r\ninvgrid.ocx\r\n"
                                      "[Encrypt]\r\ntrue\r\n"
                                      "[Longfile]\r\ntrue\r\n"
                                      "[EmptyDir]\r\n0\r\n"
                                      "[Hidden]\r\ncwNever\r\n"
                                      "[Compression]\r\ncwCompression_Normal\r\n"
                                      "[FileStructure]\r\ncwStructure_Relative\r\n"
                                      "[Support]\r\n555-0100\r\n"
                                      "[Startup]\r\nYes\r\n"
                                      "[Customize Compression]\r\nNo\r\n";

Profile inventoryManager() {
    Profile p;
    p.description = "Inventory Manager";
    p.application = {"Data", "Reports/Monthly"};
    p.windows = {"invmgr.ini"};
    p.system = {"invgrid.ocx"};
    p.encryptionAllowed = true;
    p.longNames = true;
    p.emptyDirectories = false;
    p.hiddenFiles = false;
    p.compression = Compression::Normal;
    p.relativeStructure = true;
    p.support = "555-0100";
    p.startupPrompt = true;
    p.customCompression = false;
    return p;
}

} // namespace

TEST(Profile, WritesTheKnownFileAndReadsItBack) {
    test::TestEnv env;
    const std::string path = env.path(kFileName);
    ASSERT_TRUE(write(inventoryManager(), path));
    EXPECT_EQ(test::TestEnv::readFile(path), kInventoryManager);
    EXPECT_TRUE(read(path) == inventoryManager());

    // No level chosen: twelve sections, no "Compression".
    Profile p = inventoryManager();
    p.compression.reset();
    const std::string other = env.path("other/" + std::string(kFileName));
    env.writeFile("other/.keep", "");
    ASSERT_TRUE(write(p, other));
    EXPECT_EQ(test::TestEnv::readFile(other).find("[Compression]"), std::string::npos);
    EXPECT_EQ(sections(p).size(), 12u);
}

TEST(Profile, AbsenceIsNotADefault) {
    test::TestEnv env;
    const std::string path = env.writeFile(kFileName, "[Description]\r\nApp\r\n[Startup]\r\n");
    const Profile p = read(path);
    EXPECT_EQ(p.description, "App");
    EXPECT_TRUE(p.application.empty() && p.windows.empty() && p.system.empty());
    // An empty section is as missing as an absent one.
    EXPECT_FALSE(p.startupPrompt);
    EXPECT_FALSE(p.emptyDirectories);
    EXPECT_FALSE(p.hiddenFiles);
    EXPECT_FALSE(p.compression);
    EXPECT_FALSE(p.support);
    EXPECT_FALSE(read(env.path("missing")).description);
}

TEST(Profile, ValuesReadByTheFilesOwnSpellings) {
    struct Row {
        std::string section, text;
        std::optional<bool> Profile::*field;
        std::optional<bool> expected;
    };
    const Row rows[] = {
        // Section names are matched without regard to case.
        {"LONGFILE", "true", &Profile::longNames, true},
        {"Encrypt", "TRUE", &Profile::encryptionAllowed, false},
        {"Startup", "Maybe", &Profile::startupPrompt, false},
        {"Startup", "Yes", &Profile::startupPrompt, true},
        {"Customize Compression", "Yes", &Profile::customCompression, true},
        // cwb includes hidden files unless told "cwNever": anything else reads as missing.
        {"Hidden", "cwNever", &Profile::hiddenFiles, false},
        {"Hidden", "cwYes", &Profile::hiddenFiles, true},
        {"Hidden", "yes", &Profile::hiddenFiles, std::nullopt},
        {"FileStructure", "cwStructure_None", &Profile::relativeStructure, false},
        {"FileStructure", "relative", &Profile::relativeStructure, std::nullopt},
        {"EmptyDir", " 1 ", &Profile::emptyDirectories, true},
        {"EmptyDir", "2", &Profile::emptyDirectories, false},
        {"EmptyDir", "1x", &Profile::emptyDirectories, std::nullopt},
    };
    test::TestEnv env;
    for (const Row& r : rows) {
        const std::string path =
            env.writeFile(kFileName, "[" + r.section + "]\r\n" + r.text + "\r\nmore\r\n");
        EXPECT_EQ(read(path).*r.field, r.expected) << r.section << " = '" << r.text << "'";
    }
    EXPECT_EQ(compressionOf("cwCompression_Minimum"), Compression::Minimum);
    EXPECT_FALSE(compressionOf("cwcompression_minimum"));
}
