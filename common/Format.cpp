#include "common/Format.h"

#include <QLocale>
#include <QString>
#include <limits>

namespace cw {

std::string groupSeparator() {
    QLocale loc = QLocale::system();
    QString sep = loc.groupSeparator();
    // Qt leaves numbers ungrouped under the C locale; the pictures still want a separator.
    if (sep.isEmpty() || loc.language() == QLocale::C)
        return ",";
    return sep.toStdString();
}

std::string formatPicture(std::int64_t v, const std::string& picture, const std::string& sep) {
    bool grouped = false;
    std::size_t placeholders = 0, minDigits = 0;
    bool seenZero = false;
    for (char c : picture) {
        if (c == '#' || c == '0') {
            ++placeholders;
            seenZero = seenZero || c == '0';
            if (seenZero)
                ++minDigits;
        } else if (c == ',' && placeholders > 0) {
            grouped = true;
        }
    }
    // The magnitude as unsigned, so the most negative value has one too.
    std::uint64_t mag =
        v < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string digits = mag == 0 ? "" : std::to_string(mag);
    if (digits.size() < minDigits)
        digits.insert(0, minDigits - digits.size(), '0');
    if (digits.empty())
        return "";
    std::string out;
    if (grouped) {
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                out += sep;
            out += digits[i];
        }
    } else {
        out = digits;
    }
    return v < 0 ? "-" + out : out;
}

std::string getField(const std::string& text, const std::string& sep, int n) {
    if (n < 1)
        return "";
    if (sep.empty())
        return n == 1 ? text : "";
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
        auto at = text.find(sep, start);
        if (at == std::string::npos)
            return "";
        start = at + sep.size();
    }
    auto end = text.find(sep, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::int64_t leadingNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    std::uint64_t limit = negative ? std::uint64_t(kMax) + 1 : std::uint64_t(kMax);
    std::uint64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        std::uint64_t d = static_cast<std::uint64_t>(text[i] - '0');
        v = (v > (limit - d) / 10) ? limit : v * 10 + d;
    }
    if (negative)
        return v == std::uint64_t(kMax) + 1 ? std::numeric_limits<std::int64_t>::min()
                                            : -static_cast<std::int64_t>(v);
    return static_cast<std::int64_t>(v);
}

} // namespace cw
