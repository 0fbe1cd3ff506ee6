#include "common/profile/Profile.h"

#include "common/profile/ProfileFile.h"

#include <charconv>

namespace cw::profile {

namespace {

constexpr std::pair<Compression, const char*> kCompressionValues[] = {
    {Compression::None, value::kCompressionNone},
    {Compression::Minimum, value::kCompressionMinimum},
    {Compression::Normal, value::kCompressionNormal},
    {Compression::Maximum, value::kCompressionMaximum}};

// The first line of a section, or nothing when the section is missing or empty.
std::optional<std::string> oneLine(const std::string& path, const char* name) {
    const SectionRead r = readSection(path, name);
    if (r.n == 0)
        return std::nullopt;
    return firstLine(r);
}

std::vector<std::string> lines(const std::string& path, const char* name) {
    std::vector<std::string> out = listEntries(readSection(path, name));
    out.pop_back(); // the empty entry every list ends with
    return out;
}

std::optional<bool> is(const std::optional<std::string>& line, const char* on) {
    if (!line)
        return std::nullopt;
    return *line == on;
}

// A value of two spellings; any other text reads as a missing section.
std::optional<bool> either(const std::optional<std::string>& line, const char* on,
                           const char* off) {
    if (line && *line == on)
        return true;
    if (line && *line == off)
        return false;
    return std::nullopt;
}

std::vector<std::string> body(const std::optional<std::string>& text) {
    // An empty value is an empty body: an empty line would end the body list anyway.
    if (!text || text->empty())
        return {};
    return {*text};
}

std::vector<std::string> flag(const std::optional<bool>& on, const char* yes, const char* no) {
    if (!on)
        return {};
    return {*on ? yes : no};
}

} // namespace

const char* compressionValue(Compression level) {
    for (const auto& [l, text] : kCompressionValues)
        if (l == level)
            return text;
    return "";
}

std::optional<Compression> compressionOf(const std::string& text) {
    for (const auto& [level, spelling] : kCompressionValues)
        if (text == spelling)
            return level;
    return std::nullopt;
}

std::optional<bool> emptyDirectoriesOf(const std::string& text) {
    // Blanks around a number are allowed, anything else makes it no number.
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    if (b < e && text[b] == '+')
        ++b;
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    if (first == last)
        return std::nullopt;
    long long n = 0;
    auto [ptr, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return n == 1;
}

Profile read(const std::string& path) {
    Profile p;
    p.description = oneLine(path, section::kDescription);
    p.application = lines(path, section::kApplication);
    p.windows = lines(path, section::kWindows);
    p.system = lines(path, section::kSystem);
    p.encryptionAllowed = is(oneLine(path, section::kEncrypt), value::kTrue);
    p.longNames = is(oneLine(path, section::kLongNames), value::kTrue);
    if (const auto v = oneLine(path, section::kEmptyDirectories))
        p.emptyDirectories = emptyDirectoriesOf(*v);
    p.hiddenFiles = either(oneLine(path, section::kHidden), value::kHiddenYes, value::kHiddenNo);
    if (const auto v = oneLine(path, section::kCompression))
        p.compression = compressionOf(*v);
    p.relativeStructure = either(oneLine(path, section::kStructure), value::kStructureRelative,
                                 value::kStructureNone);
    p.support = oneLine(path, section::kSupport);
    p.startupPrompt = is(oneLine(path, section::kStartup), value::kYes);
    p.customCompression = is(oneLine(path, section::kCustomCompression), value::kYes);
    return p;
}

std::vector<Section> sections(const Profile& p) {
    std::vector<Section> s;
    s.emplace_back(section::kDescription, body(p.description));
    s.emplace_back(section::kApplication, p.application);
    s.emplace_back(section::kWindows, p.windows);
    s.emplace_back(section::kSystem, p.system);
    s.emplace_back(section::kEncrypt, flag(p.encryptionAllowed, value::kTrue, value::kFalse));
    s.emplace_back(section::kLongNames, flag(p.longNames, value::kTrue, value::kFalse));
    s.emplace_back(section::kEmptyDirectories, flag(p.emptyDirectories, value::kOne, value::kZero));
    s.emplace_back(section::kHidden, flag(p.hiddenFiles, value::kHiddenYes, value::kHiddenNo));
    if (p.compression)
        s.emplace_back(section::kCompression,
                       std::vector<std::string>{compressionValue(*p.compression)});
    s.emplace_back(section::kStructure,
                   flag(p.relativeStructure, value::kStructureRelative, value::kStructureNone));
    s.emplace_back(section::kSupport, body(p.support));
    s.emplace_back(section::kStartup, flag(p.startupPrompt, value::kYes, value::kNo));
    s.emplace_back(section::kCustomCompression, flag(p.customCompression, value::kYes, value::kNo));
    return s;
}

bool write(const Profile& profile, const std::string& path) {
    for (const auto& [name, lines] : sections(profile)) {
        const std::string list = makeBodyList(lines);
        if (WritePrivateProfileSectionA(name.c_str(), list.c_str(), path.c_str()) == 0)
            return false;
    }
    return true;
}

} // namespace cw::profile
