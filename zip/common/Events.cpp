#include "Events.h"

namespace cw::zip {

std::string fields(std::initializer_list<std::string_view> parts) {
    std::string out;
    bool first = true;
    for (std::string_view p : parts) {
        if (!first)
            out += '|';
        first = false;
        for (char c : p)
            out += c == '|' ? '/' : c;
    }
    return out;
}

short notify(Callback cb, int action, const std::string& message) {
    return cb ? cb(0, action, message.c_str()) : 0;
}

} // namespace cw::zip
