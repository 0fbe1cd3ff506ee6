#include "tests/support/TestEnv.h"

#include "common/platform/Files.h"
#include "tests/support/FileFaults.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace cw::test {

namespace {

void restoreVar(const char* name, bool had, const std::string& old) {
    if (had)
        ::setenv(name, old.c_str(), 1);
    else
        ::unsetenv(name);
}

} // namespace

TestEnv::TestEnv() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/cwtest-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a temporary folder");
    root_ = fs::canonical(tmpl).string();
    home_ = root_ + "/home";
    fs::create_directories(home_ + "/.config");

    if (const char* h = std::getenv("HOME")) {
        hadHome_ = true;
        oldHome_ = h;
    }
    if (const char* x = std::getenv("XDG_CONFIG_HOME")) {
        hadXdg_ = true;
        oldXdg_ = x;
    }
    if (const char* x = std::getenv("XDG_DATA_HOME")) {
        hadData_ = true;
        oldData_ = x;
    }
    std::error_code ec;
    oldCwd_ = fs::current_path(ec).string();
    ::setenv("HOME", home_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config().c_str(), 1);
    ::setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    fs::current_path(root_, ec);
}

TestEnv::~TestEnv() {
    cw::files::clearFaults();
    restoreVar("HOME", hadHome_, oldHome_);
    restoreVar("XDG_CONFIG_HOME", hadXdg_, oldXdg_);
    restoreVar("XDG_DATA_HOME", hadData_, oldData_);
    std::error_code ec;
    if (!oldCwd_.empty())
        fs::current_path(oldCwd_, ec);
    fs::remove_all(root_, ec);
}

std::string TestEnv::writeFile(const std::string& relPath, const std::string& content) const {
    std::string p = path(relPath);
    fs::create_directories(fs::path(p).parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + p);
    return p;
}

std::string TestEnv::makeDir(const std::string& relPath) const {
    std::string p = path(relPath);
    fs::create_directories(p);
    return p;
}

std::string TestEnv::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TestEnv::binDir() {
    return CW_BIN_DIR;
}

} // namespace cw::test
