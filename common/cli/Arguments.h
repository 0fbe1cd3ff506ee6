#pragma once
// The command lines of cwb and cwr: one table of options per program, from which both the
// parsing and the --help text come, so the two never disagree (the man pages are checked
// against the --help text by the tests).
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cw::cli {

// Exit status of a command-line run.
enum Exit { kSuccess = 0, kFailed = 1, kUsage = 2 };

struct Option {
    std::string name;  // without the leading "--"
    std::string value; // what the option takes ("DIR"); empty for a switch
    std::string help;  // one sentence for --help
};

struct Usage {
    std::string program;               // "cwb"
    std::vector<std::string> synopsis; // the forms of the command, without the program name
    std::string summary;               // what the program does, one line
    std::vector<Option> options;       // --help and --version are added by helpText and parse
    std::string epilogue;              // exit status and further notes
};

struct Arguments {
    std::map<std::string, std::string> values; // options that take a value
    std::set<std::string> switches;            // switches given
    std::string error;                         // why the line is refused; empty when it is not
    bool has(const std::string& name) const { return values.count(name) || switches.count(name); }
    std::string value(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

// Reads "--name value", "--name=value" and switches. Unknown options, a missing value, an
// option given twice and any argument that is no option are refused with error set.
Arguments parse(const Usage& usage, const std::vector<std::string>& args);
// The --help text: the usage lines, the summary, every option with its help, the epilogue.
std::string helpText(const Usage& usage);
// "cwb (Caskwell) 1.0.48".
std::string versionLine(const std::string& program);

// What every program answers before its own options: a refused line (the error on stderr
// with a pointer to --help; kUsage), --help and --version (on stdout; kSuccess). Nothing
// when the line is for the program itself.
std::optional<int> answerCommon(const Usage& usage, const Arguments& args);
// Prints "<program>: <text>" and the pointer to --help on stderr; returns kUsage.
int usageError(const Usage& usage, const std::string& text);
// An absolute path without "." or ".." parts and without a trailing "/" (the root aside); a
// vanished current folder leaves the path as given.
std::string absolutePath(const std::string& path);

} // namespace cw::cli
