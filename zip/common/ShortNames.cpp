#include "ShortNames.h"

#include <cstring>

namespace cw::zip {

namespace {

bool allowed(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr);
}

// Upper case, blanks dropped, anything outside the DOS set as one "_" per character
// (a multi-byte UTF-8 character is one character).
std::string clean(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ')
            continue;
        if (c >= 0x80) {
            while (i + 1 < s.size() && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80)
                ++i;
            out += '_';
            continue;
        }
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        out += allowed(c) ? static_cast<char>(c) : '_';
    }
    return out;
}

} // namespace

std::string shortName(std::string_view longName, int tilde) {
    size_t dot = longName.find_last_of('.');
    std::string base, ext;
    if (dot == std::string_view::npos) {
        base = clean(longName);
    } else {
        std::string front;
        for (char c : longName.substr(0, dot))
            if (c != '.')
                front += c;
        base = clean(front);
        ext = clean(longName.substr(dot + 1));
    }
    if (base.empty()) { // ".profile" has nothing before its only period
        base = ext;
        ext.clear();
    }
    if (base.empty())
        base = "_";
    if (tilde == 0 && base.size() <= 8 && ext.size() <= 3)
        return ext.empty() ? base : base + "." + ext;
    std::string suffix = "~" + std::to_string(tilde < 1 ? 1 : tilde);
    size_t keep = suffix.size() < 8 ? 8 - suffix.size() : 1;
    if (base.size() > keep)
        base.resize(keep);
    if (ext.size() > 3)
        ext.resize(3);
    return base + suffix + (ext.empty() ? "" : "." + ext);
}

std::string ShortNamer::component(const std::string& parentLong, const std::string& name) {
    auto& given = given_[parentLong];
    auto it = given.find(name);
    if (it != given.end())
        return it->second;
    auto& used = used_[parentLong];
    std::string s = shortName(name, 0);
    for (int n = 1; used.count(s) && n < 100000; ++n)
        s = shortName(name, n);
    used.insert(s);
    given.emplace(name, s);
    return s;
}

std::string ShortNamer::path(const std::vector<std::string>& longParts) {
    std::string parentLong, out;
    for (const auto& p : longParts) {
        if (!out.empty())
            out += '/';
        out += component(parentLong, p);
        parentLong += "/" + p;
    }
    return out;
}

} // namespace cw::zip
