#include "common/cli/Arguments.h"

#include "common/Version.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace cw::cli {

namespace {

const Option kHelp{"help", "", "Show this help and exit."};
const Option kVersion{"version", "", "Show the version and exit."};

constexpr std::size_t kHelpColumn = 28, kWidth = 79;

// text broken at blanks so that no line passes kWidth; lines after the first start at column.
std::string wrapped(const std::string& text, std::size_t column) {
    std::string out;
    std::size_t at = column;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find(' ', i);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(i, end - i);
        if (at > column && at + 1 + word.size() > kWidth) {
            out += "\n" + std::string(column, ' ');
            at = column;
        } else if (at > column) {
            out += ' ';
            ++at;
        }
        out += word;
        at += word.size();
        i = end + 1;
    }
    return out;
}

std::vector<Option> allOptions(const Usage& usage) {
    std::vector<Option> all = usage.options;
    all.push_back(kHelp);
    all.push_back(kVersion);
    return all;
}

} // namespace

Arguments parse(const Usage& usage, const std::vector<std::string>& args) {
    const std::vector<Option> options = allOptions(usage);
    Arguments out;
    for (std::size_t i = 0; i < args.size() && out.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            out.error = "unexpected argument '" + arg + "'";
            break;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(2, eq == std::string::npos ? eq : eq - 2);
        const auto opt = std::find_if(options.begin(), options.end(),
                                      [&name](const Option& o) { return o.name == name; });
        if (opt == options.end()) {
            out.error = "unknown option '--" + name + "'";
        } else if (out.has(name)) {
            out.error = "--" + name + " is given more than once";
        } else if (opt->value.empty()) {
            if (eq != std::string::npos)
                out.error = "--" + name + " takes no value";
            else
                out.switches.insert(name);
        } else if (eq != std::string::npos) {
            out.values[name] = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            out.values[name] = args[++i];
        } else {
            out.error = "--" + name + " needs a value (" + opt->value + ")";
        }
    }
    return out;
}

std::string helpText(const Usage& usage) {
    std::string out;
    for (std::size_t i = 0; i < usage.synopsis.size(); ++i)
        out += (i == 0 ? "Usage: " : "   or: ") + usage.program +
               (usage.synopsis[i].empty() ? "" : " " + usage.synopsis[i]) + "\n";
    out += "\n" + usage.summary + "\n\nOptions:\n";
    for (const Option& o : allOptions(usage)) {
        std::string head = "  --" + o.name + (o.value.empty() ? "" : " " + o.value);
        head.resize(std::max<std::size_t>(head.size() + 2, kHelpColumn), ' ');
        out += head + wrapped(o.help, head.size()) + "\n";
    }
    if (!usage.epilogue.empty())
        out += "\n" + usage.epilogue;
    return out;
}

std::string versionLine(const std::string& program) {
    return program + " (Caskwell) " + std::to_string(versionMajor()) + "." +
           std::to_string(versionMinor()) + "." + std::to_string(versionBuild());
}

int usageError(const Usage& usage, const std::string& text) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", usage.program.c_str(),
                 text.c_str(), usage.program.c_str());
    return kUsage;
}

std::optional<int> answerCommon(const Usage& usage, const Arguments& args) {
    if (!args.error.empty())
        return usageError(usage, args.error);
    if (args.has("help")) {
        std::fputs(helpText(usage).c_str(), stdout);
        return kSuccess;
    }
    if (args.has("version")) {
        std::puts(versionLine(usage.program).c_str());
        return kSuccess;
    }
    return std::nullopt;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    std::string out = (ec ? std::filesystem::path(path) : p).lexically_normal().string();
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

} // namespace cw::cli
