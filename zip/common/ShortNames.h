#pragma once
// DOS 8.3 names for sets written with long names off, generated per path component.
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cw::zip {

// The 8.3 form of one name: tilde is the "~n" number to use, 0 to keep the name when it
// already fits once cleaned.
std::string shortName(std::string_view longName, int tilde);

// Gives every component of a stored path its short name, numbering "~1", "~2", ... where
// two long names of one directory would meet. The same long path always gets the same
// short path within one run.
class ShortNamer {
public:
    std::string path(const std::vector<std::string>& longParts);

private:
    std::string component(const std::string& parentLong, const std::string& name);
    std::map<std::string, std::map<std::string, std::string>> given_; // parent -> long -> short
    std::map<std::string, std::set<std::string>> used_;               // parent -> shorts
};

} // namespace cw::zip
