#include "restore/RestorePlan.h"

#include <algorithm>

namespace cwr {

void RestorePlan::clearListing() {
    files.clear();
    directories.clear();
    lastMessage.clear();
    directoryStamps.clear();
    damaged = false;
    selected.clear();
}

const ListedEntry* RestorePlan::addListingMessage(const std::string& message) {
    lastMessage = message;
    if (isDamagedSetMessage(message))
        damaged = true;
    auto entry = parseListingMessage(message);
    if (!entry)
        return nullptr;
    if (isDirectoryLine(entry->listLine))
        directoryStamps[entry->listLine] = {entry->modified, entry->mode};
    files.push_back(std::move(*entry));
    return &files.back();
}

std::int64_t RestorePlan::separateDirectories() {
    // Rebuilt in one pass: removing entries one by one is quadratic on large sets.
    if (std::none_of(files.begin(), files.end(),
                     [](const ListedEntry& e) { return isDirectoryLine(e.listLine); }))
        return 0;
    std::vector<ListedEntry> kept;
    std::int64_t moved = 0;
    for (auto& e : files) {
        if (isDirectoryLine(e.listLine)) {
            directories.push_back(e.listLine);
            ++moved;
        } else {
            kept.push_back(std::move(e));
        }
    }
    files = std::move(kept);
    return moved;
}

std::string RestorePlan::encryptedFlag() const {
    return encryptedFlagOf(lastMessage);
}

void RestorePlan::setSelection(std::vector<bool> flags) {
    flags.resize(files.size(), false);
    selected = std::move(flags);
}

std::int64_t RestorePlan::selectedCount() const {
    std::int64_t n = 0;
    for (bool on : selected)
        n += on ? 1 : 0;
    return n;
}

std::int64_t RestorePlan::selectedBytes() const {
    std::int64_t bytes = 0;
    for (std::size_t i = 0; i < selected.size() && i < files.size(); ++i)
        if (selected[i])
            bytes = addSaturated(bytes, sizeOfLine(files[i].sizeLine));
    return bytes;
}

std::vector<std::string> RestorePlan::selectedPaths() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < selected.size() && i < files.size(); ++i)
        if (selected[i])
            out.push_back(storedPath(files[i].listLine));
    return out;
}

std::vector<std::string> RestorePlan::directoryLines() const {
    std::vector<std::string> out;
    for (const auto& line : directories)
        if (isDirectoryLine(line))
            out.push_back(line);
    return out;
}

} // namespace cwr
