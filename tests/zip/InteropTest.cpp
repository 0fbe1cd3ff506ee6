// Sets from every option opened by other archivers: 7-Zip tests each one (with its
// password when encrypted), unzip tests and Python's zipfile reads the unencrypted ones,
// and our own reader restores every file byte for byte.
#include "ZipTestKit.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace cw::test;

namespace {

struct Row {
    const char* label;
    int level;
    int structure;
    bool longNames, emptyDirs;
    const char* password;
    bool span;
};

const Row kRows[] = {
    {"store", 0, 2, true, false, nullptr, false},
    {"minimum", 2, 2, true, false, nullptr, false},
    {"normal names only", 1, 0, true, false, nullptr, false},
    {"maximum", 3, 2, true, false, nullptr, false},
    {"short names", 1, 2, false, false, nullptr, false},
    {"empty directories", 1, 2, true, true, nullptr, false},
    {"empty password", 1, 2, true, true, "", false},
    {"aes", 1, 2, true, false, "Pass Word", false},
    {"aes stored", 0, 2, true, false, "Pass Word", false},
    {"spanned", 1, 2, true, true, nullptr, true},
};

// "<size> <crc>" of every file, sorted: what a reader must give back, whatever the names.
using Digest = std::vector<std::string>;
std::string digestOf(const std::string& bytes) {
    char buf[64];
    std::snprintf(
        buf, sizeof buf, "%zu %08lx", bytes.size(),
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    return buf;
}

std::string capture(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

// Python's reading of a set: one "<size> <crc>" line per file (its CRC checked on the way),
// "D" per directory.
Digest pythonDigest(const TestEnv& env, const std::string& set) {
    const std::string script = "import sys, zipfile, zlib\n"
                               "z = zipfile.ZipFile(sys.argv[1])\n"
                               "for i in z.infolist():\n"
                               "    if i.is_dir(): print('D'); continue\n"
                               "    d = z.read(i)\n"
                               "    print('%d %08x' % (len(d), zlib.crc32(d)))\n";
    const std::string py = env.writeFile("digest.py", script);
    std::string out = capture("python3 '" + py + "' '" + set + "' 2>&1");
    Digest d;
    size_t start = 0;
    for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        d.push_back(out.substr(start, nl - start));
    std::sort(d.begin(), d.end());
    return d;
}

class ZipInteropTest : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        Recorder::reset();
        std::string text;
        for (int i = 0; i < 5000; ++i)
            text += "line " + std::to_string(i % 311) + " of text that compresses well\n";
        // Over the size compressed whole: chunks of one stream, text and random in turn.
        std::string big;
        for (int i = 0; big.size() < (9u << 20) + 12345; ++i)
            big += i % 2 ? randomBytes(700000, 50 + i) : text.substr(0, 600000);
        add("app/text.txt", text);
        add("app/random.bin", randomBytes(300000, 7));
        add("app/empty.txt", "");
        add("app/.hidden", "hidden");
        add("app/Sub Dir/big.bin", big);
        add("app/Gr\xc3\xb6\xc3\x9f"
            "e.txt",
            "composed");
        list += env.makeDir("app/Empty") + "/(EMPTY)|";
    }
    void add(const std::string& rel, const std::string& content) {
        list += env.writeFile(rel, content) + "|";
        files.push_back(digestOf(content));
        std::sort(files.begin(), files.end());
    }
    TestEnv env;
    std::string list;
    Digest files;
};

TEST_P(ZipInteropTest, OtherArchiversAndOurReaderAcceptTheSet) {
    const Row& row = GetParam();
    std::string out = env.makeDir("out");
    std::string set = out + "/Set.bks";
    ZipSettings s{list, set, row.structure, row.level};
    s.longNames = row.longNames;
    s.emptyDirs = row.emptyDirs;
    s.password = row.password;
    s.span = row.span;
    s.cap = row.span ? 2 << 20 : 0;
    ASSERT_EQ(runZip(s), 0);
    EXPECT_TRUE(Recorder::only(22).empty() && Recorder::only(255).empty());
    std::string zip = set;
    if (row.span) {
        ASSERT_GE(Recorder::only(20).size(), 2u);
        zip = env.path("joined.zip");
        ASSERT_EQ(shell("{ cat '" + out + "'/Set.b0? '" + set + "' > '" + zip + "'; }"), 0);
    }
    const std::string seven = sevenZip() + " t '" + zip + "'";
    if (!row.password) {
        EXPECT_EQ(shell(seven), 0);
        EXPECT_EQ(shell("unzip -tq '" + zip + "'"), 0);
        Digest want = files;
        if (row.emptyDirs)
            want.push_back("D");
        std::sort(want.begin(), want.end());
        EXPECT_EQ(pythonDigest(env, zip), want);
    } else if (*row.password) {
        EXPECT_EQ(shell(seven + " -p'" + row.password + "'"), 0);
        EXPECT_NE(shell(seven + " -p'pass word'"), 0);
    } else {
        EXPECT_EQ(shell("echo | " + seven + " -p"), 0); // asked, answered with nothing
        EXPECT_NE(shell(seven + " -px"), 0);
    }
    // Our reader, by the names the listing gives.
    std::string include;
    for (const auto& m : listSet(set)) {
        Event e{0, m};
        if (e.field(12) == "F")
            include += e.field(3) + "|";
    }
    std::string dest = env.makeDir("dest");
    Recorder::reset();
    EXPECT_EQ(extract(set, include, dest, true, row.password), 0);
    for (const auto& e : Recorder::events)
        EXPECT_NE(e.action, 23) << e.message;
    Digest restored;
    for (const auto& f : filesBelow(dest))
        if (f.back() != '/')
            restored.push_back(digestOf(TestEnv::readFile(dest + "/" + f)));
    std::sort(restored.begin(), restored.end());
    EXPECT_EQ(restored, files);
}

INSTANTIATE_TEST_SUITE_P(EveryOption, ZipInteropTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) {
                             std::string n = info.param.label;
                             std::replace(n.begin(), n.end(), ' ', '_');
                             return n;
                         });

} // namespace
