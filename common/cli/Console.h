#pragma once
// What a command-line run says and asks. Progress goes to standard output, one line per file,
// or one bar that rewrites itself when standard output is a terminal; warnings and notes go
// to standard error. Questions are asked only when standard input is a terminal, so a run
// started by a timer or with its input redirected never waits for an answer.
#include <cstdint>
#include <optional>
#include <string>

namespace cw::cli {

class Console {
public:
    explicit Console(std::string program);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    bool canAsk() const { return interactive_; }
    bool showsBar() const { return bar_; }

    // Progress on one file: the bar shows done of total and text; without a bar, text is
    // printed as a line when firstOfFile (later reports on the same file add nothing).
    void progress(std::int64_t done, std::int64_t total, const std::string& text, bool firstOfFile);
    void line(const std::string& text);    // standard output
    void warning(const std::string& text); // standard error, after "<program>: "
    void note(const std::string& text);    // standard error, after "<program>: note: "
    // Asks on the terminal and returns the answer without its line break; nothing at the end
    // of the input, or when there is no terminal. hidden: the answer is not echoed.
    std::optional<std::string> ask(const std::string& prompt, bool hidden = false);

private:
    void clearBar();

    std::string program_;
    bool interactive_ = false, bar_ = false, barShown_ = false;
};

// A message text of the windows as lines for a terminal: CR LF and lone CRs become "\n".
std::string plainText(const std::string& message);

// The password in the first line of path, its line break removed. False with why set when
// the file cannot be read. Every copy this function made is wiped.
bool readPasswordFile(const std::string& path, std::string& password, std::string& why);
// Overwrites the string's bytes before it is emptied.
void wipe(std::string& secret);

} // namespace cw::cli
