#pragma once
// Each test works in its own temporary folder with HOME pointed into it,
// XDG_CONFIG_HOME = $HOME/.config and XDG_DATA_HOME = $HOME/.local/share (where the trash
// is), so nothing touches the real home.
#include <string>

namespace cw::test {

class TestEnv {
public:
    TestEnv();  // creates <tmp>/root, <tmp>/root/home, sets HOME, XDG_CONFIG_HOME, cwd
    ~TestEnv(); // restores the environment and the cwd, removes the folder, clears faults
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    const std::string& root() const { return root_; }         // the temporary folder
    const std::string& home() const { return home_; }         // $HOME (the Windows directory)
    std::string config() const { return home_ + "/.config"; } // the System directory
    std::string dataHome() const { return home_ + "/.local/share"; } // holds the user's Trash
    // Creates a file (and its parent directories) with the given content; returns its path.
    std::string writeFile(const std::string& relPath, const std::string& content) const;
    std::string makeDir(const std::string& relPath) const;
    std::string path(const std::string& relPath) const { return root_ + "/" + relPath; }
    static std::string readFile(const std::string& path);
    // The folder holding the built programs and libraries (build/bin).
    static std::string binDir();

private:
    std::string root_, home_, oldHome_, oldXdg_, oldData_, oldCwd_;
    bool hadHome_ = false, hadXdg_ = false, hadData_ = false;
};

} // namespace cw::test
