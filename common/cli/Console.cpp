#include "common/cli/Console.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace cw::cli {

namespace {

constexpr std::size_t kBarCells = 20;

std::size_t terminalWidth() {
    struct winsize ws {};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 10)
        return ws.ws_col;
    return 80;
}

// text cut to at most n bytes, never inside a UTF-8 character.
std::string cut(const std::string& text, std::size_t n) {
    if (text.size() <= n)
        return text;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

} // namespace

Console::Console(std::string program)
    : program_(std::move(program)), interactive_(::isatty(STDIN_FILENO) == 1),
      bar_(::isatty(STDOUT_FILENO) == 1) {}

Console::~Console() {
    clearBar();
}

void Console::clearBar() {
    if (!barShown_)
        return;
    std::fputs("\r\x1b[K", stdout);
    std::fflush(stdout);
    barShown_ = false;
}

void Console::progress(std::int64_t done, std::int64_t total, const std::string& text,
                       bool firstOfFile) {
    if (!bar_) {
        if (firstOfFile)
            line(text);
        return;
    }
    const std::int64_t top = std::max<std::int64_t>(total, 1);
    const auto filled = static_cast<std::size_t>(
        std::clamp<std::int64_t>(done * static_cast<std::int64_t>(kBarCells) / top, 0, kBarCells));
    const std::string counts = " " + std::to_string(done) + "/" + std::to_string(total) + "  ";
    std::string shown =
        "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "]" + counts + text;
    std::fputs(("\r" + cut(shown, terminalWidth() - 1) + "\x1b[K").c_str(), stdout);
    std::fflush(stdout);
    barShown_ = true;
}

void Console::line(const std::string& text) {
    clearBar();
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void Console::warning(const std::string& text) {
    clearBar();
    std::fflush(stdout);
    std::fputs((program_ + ": " + text + "\n").c_str(), stderr);
}

void Console::note(const std::string& text) {
    warning("note: " + text);
}

std::optional<std::string> Console::ask(const std::string& prompt, bool hidden) {
    if (!interactive_)
        return std::nullopt;
    clearBar();
    std::fputs(prompt.c_str(), stdout);
    std::fflush(stdout);
    struct termios saved {};
    const bool quiet = hidden && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        struct termios silent = saved;
        silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    // Read byte by byte from the descriptor: nothing of the answer stays in a stdio buffer.
    std::string answer;
    answer.reserve(256); // a typed password seldom outgrows it, so no copy is left behind
    bool ended = false;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ended = true;
            break;
        }
        if (c == '\n')
            break;
        answer.push_back(c);
    }
    if (quiet) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stdout);
    }
    if (ended && answer.empty()) {
        std::fputs("\n", stdout);
        // No more answers will come: ask no more.
        interactive_ = false;
        return std::nullopt;
    }
    if (!answer.empty() && answer.back() == '\r')
        answer.pop_back();
    return answer;
}

std::string plainText(const std::string& message) {
    std::string out;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r') {
            out += '\n';
            if (i + 1 < message.size() && message[i + 1] == '\n')
                ++i;
        } else {
            out += message[i];
        }
    }
    return out;
}

void wipe(std::string& secret) {
    explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

bool readPasswordFile(const std::string& path, std::string& password, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = "not a regular file";
        return false;
    }
    // The first line only; the file is read in small pieces, each wiped after use.
    std::string line;
    line.reserve(256); // no reallocation leaves an unwiped copy behind for ordinary passwords
    char buf[256];
    bool done = false;
    while (!done) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            why = std::strerror(errno);
            explicit_bzero(buf, sizeof buf);
            wipe(line);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        for (ssize_t i = 0; i < n && !done; ++i) {
            if (buf[i] == '\n')
                done = true;
            else
                line.push_back(buf[i]);
        }
    }
    explicit_bzero(buf, sizeof buf);
    ::close(fd);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    wipe(password);
    password.swap(line);
    return true;
}

} // namespace cw::cli
