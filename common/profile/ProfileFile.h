#pragma once
// The profile file: an INI-layout text file read and written a whole section at a time.
// A section body travels as a "body list": each line followed by a NUL, then one more NUL.
#include <cstddef>
#include <string>
#include <vector>

namespace cw::profile {

inline constexpr const char* kFileName = "cwkcon32.dll";
inline constexpr std::size_t kReaderBuffer = 32700;

// Copies the body of `section` (name matched without regard to case) from `path` into
// buffer as a body list and returns the characters copied without the final NUL; 0 for a
// missing section or file. A body that does not fit is cut; the result is then size - 2.
// Accepts CR LF and LF line ends. Never throws.
std::size_t GetPrivateProfileSectionA(const char* section, char* buffer, std::size_t size,
                                      const char* path);
// Replaces the body of `section` with the lines of `bodyList` (or appends the section),
// creating the file when missing. Sections keep their first-written order; lines end in
// CR LF. A null bodyList removes the section. Returns nonzero on success. A line that could
// not read back exactly as written (see lineIsStorable), or an existing file that cannot be
// read, makes the whole call fail without touching the file (lastError says why). The file is
// replaced whole, never left half-written.
int WritePrivateProfileSectionA(const char* section, const char* bodyList, const char* path);

// Whether a body line survives a write and a read unchanged without creating, hiding or
// damaging another section. Blanks, ";", "=" and a leading "[" are all stored as written (a
// line that could pass for a section header is marked so that it cannot); only a line that
// holds a line break (CR or LF) is refused. An empty line is allowed: it ends the body list.
bool lineIsStorable(const std::string& line);
// Why the last WritePrivateProfileSectionA of this thread failed ("" after a success).
const std::string& lastError();

// Helpers building and taking apart a body list.
std::string makeBodyList(const std::vector<std::string>& lines);

// Reads section into a buffer of kReaderBuffer characters; returns the buffer contents and n.
struct SectionRead {
    std::string buffer; // exactly kReaderBuffer characters
    std::size_t n = 0;
};
SectionRead readSection(const std::string& path, const std::string& section);

// The three ways a reader takes a body apart.
// First line: the text up to the first NUL ("" for a missing or empty section).
std::string firstLine(const SectionRead& r);
// Whole body: the first n - 1 characters; std::nullopt-like failure when n == 0 is reported
// by returning false.
bool wholeBody(const SectionRead& r, std::string& out);
// List: the first n + 1 characters split at every NUL: every line, then one empty entry.
// The fragment of a line that a cut body ends with is left out.
std::vector<std::string> listEntries(const SectionRead& r);

} // namespace cw::profile
