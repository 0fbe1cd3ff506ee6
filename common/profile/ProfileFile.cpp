#include "common/profile/ProfileFile.h"

#include "common/platform/FilePaths.h"
#include "common/platform/FileSystem.h"

#include <QString>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::profile {

namespace {

thread_local std::string writeError;

// A body line that could be taken for a section header, or that begins with the marker
// itself, is stored behind one marker character, which the reader takes off again.
constexpr char kMarker = '\\';

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The name of the section a header line opens, or nothing for a body line.
std::optional<std::string> headerName(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] != '[')
        return std::nullopt;
    auto close = line.find(']', i + 1);
    return trimmed(
        line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1));
}

bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

bool sameName(const std::string& a, const std::string& b) {
    if (isAscii(a) && isAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if ((x >= 'A' && x <= 'Z' ? x + 32 : x) != (y >= 'A' && y <= 'Z' ? y + 32 : y))
                return false;
        }
        return true;
    }
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                        Qt::CaseInsensitive) == 0;
}

bool validSectionName(const std::string& name) {
    return !trimmed(name).empty() && name.find_first_of("[]\r\n") == std::string::npos;
}

std::string encodeLine(const std::string& line) {
    if ((!line.empty() && line[0] == kMarker) || headerName(line))
        return kMarker + line;
    return line;
}

std::string decodeLine(const std::string& line) {
    return !line.empty() && line[0] == kMarker ? line.substr(1) : line;
}

// The whole file, or nothing when it is missing, unreadable or not a regular file (a FIFO
// would block the reader forever).
std::optional<std::string> readWhole(const std::string& path, bool& missing) {
    missing = false;
    int fd = files::fileSystem().openForReading(path);
    if (fd < 0) {
        missing = errno == ENOENT;
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

// Lines without their ends; CR LF and LF are both accepted.
std::vector<std::string> splitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        auto end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        std::size_t len = end - start;
        if (len > 0 && data[start + len - 1] == '\r')
            --len;
        lines.emplace_back(data, start, len);
        start = end + 1;
    }
    return lines;
}

// [first body line, end) of the first section called name; nothing when it is absent.
std::optional<std::pair<std::size_t, std::size_t>> findBody(const std::vector<std::string>& lines,
                                                            const std::string& name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto h = headerName(lines[i]);
        if (!h || !sameName(*h, name))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !headerName(lines[end]))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

bool fail(const std::string& why) {
    writeError = why;
    return false;
}

// Writes beside the target and renames over it: the old profile stays whole until the new
// one is complete.
bool replaceFile(const std::string& path, const std::string& data, mode_t mode) {
    std::string dir = paths::parent(path);
    if (dir.empty())
        dir = ".";
    std::string tmpl = paths::join(dir, "." + paths::fileName(path) + ".XXXXXX");
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return fail("Cannot write " + path + ": " + std::strerror(errno));
    bool ok = true;
    for (std::size_t done = 0; ok && done < data.size();) {
        ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        ok = w > 0;
        done += w > 0 ? static_cast<std::size_t>(w) : 0;
    }
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || files::fileSystem().rename(tmpl, path) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        return fail("Cannot write " + path + ": " + std::strerror(err));
    }
    return true;
}

bool writeSection(const char* section, const char* bodyList, const char* path) {
    if (!section || !path || !*path)
        return fail("No section or file named");
    std::string name = section;
    if (!validSectionName(name))
        return fail("'" + name + "' is not a usable section name");

    std::vector<std::string> body;
    if (bodyList) {
        for (const char* p = bodyList; *p; p += std::strlen(p) + 1) {
            std::string line = p;
            if (!lineIsStorable(line))
                return fail("A line of section " + name + " holds a line break");
            body.push_back(encodeLine(line));
        }
    }

    std::string file = path;
    bool missing = false;
    auto data = readWhole(file, missing);
    if (!data && !missing)
        return fail("Cannot read " + file + "; it is left as it is");
    mode_t mode = 0644;
    struct stat st {};
    if (data && ::stat(file.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::vector<std::string> lines = data ? splitLines(*data) : std::vector<std::string>{};
    if (auto range = findBody(lines, name); range && !bodyList) {
        // No body list at all removes the section, header included.
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->first - 1),
                    lines.begin() + static_cast<std::ptrdiff_t>(range->second));
    } else if (range) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->first),
                    lines.begin() + static_cast<std::ptrdiff_t>(range->second));
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(range->first), body.begin(),
                     body.end());
    } else if (bodyList) {
        lines.push_back("[" + name + "]");
        lines.insert(lines.end(), body.begin(), body.end());
    }
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return replaceFile(file, out, mode);
}

} // namespace

bool lineIsStorable(const std::string& line) {
    return line.find_first_of("\r\n") == std::string::npos;
}

const std::string& lastError() {
    return writeError;
}

std::size_t GetPrivateProfileSectionA(const char* section, char* buffer, std::size_t size,
                                      const char* path) {
    if (!buffer || size == 0)
        return 0;
    buffer[0] = '\0';
    if (size >= 2)
        buffer[1] = '\0';
    if (!section || !path || size < 2)
        return 0;
    bool missing = false;
    auto data = readWhole(path, missing);
    if (!data)
        return 0;
    auto lines = splitLines(*data);
    auto range = findBody(lines, trimmed(section));
    if (!range)
        return 0;

    std::string list;
    for (std::size_t i = range->first; i < range->second; ++i) {
        // Blank separator lines are no part of a body, and a line with a NUL cannot travel
        // in a body list.
        if (lines[i].empty() || lines[i].find('\0') != std::string::npos)
            continue;
        std::string line = decodeLine(lines[i]);
        if (line.empty())
            continue;
        list += line;
        list += '\0';
    }
    if (list.size() <= size - 2) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return list.size();
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

int WritePrivateProfileSectionA(const char* section, const char* bodyList, const char* path) {
    writeError.clear();
    return writeSection(section, bodyList, path) ? 1 : 0;
}

std::string makeBodyList(const std::vector<std::string>& lines) {
    std::string list;
    for (const auto& l : lines) {
        list += l;
        list += '\0';
    }
    list += '\0';
    return list;
}

SectionRead readSection(const std::string& path, const std::string& section) {
    SectionRead r;
    r.buffer.assign(kReaderBuffer, '\0');
    r.n =
        GetPrivateProfileSectionA(section.c_str(), r.buffer.data(), r.buffer.size(), path.c_str());
    return r;
}

std::string firstLine(const SectionRead& r) {
    return std::string(r.buffer.c_str());
}

bool wholeBody(const SectionRead& r, std::string& out) {
    if (r.n == 0 || r.n > r.buffer.size())
        return false;
    out = r.buffer.substr(0, r.n - 1);
    return true;
}

std::vector<std::string> listEntries(const SectionRead& r) {
    // Every NUL ends an entry: the lines, then the empty entry the final NUL makes. A body cut
    // at the buffer's end has a fragment of a line after its last NUL; that fragment names no
    // real directory or file, so it is left out rather than handed on as one.
    std::vector<std::string> out;
    std::size_t len = std::min(r.n, r.buffer.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < len; ++i) {
        if (r.buffer[i] == '\0') {
            out.push_back(r.buffer.substr(start, i - start));
            start = i + 1;
        }
    }
    out.emplace_back();
    return out;
}

} // namespace cw::profile
