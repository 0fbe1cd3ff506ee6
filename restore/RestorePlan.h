#pragma once
// What one restore is made of, without windows: the set's listing as the library reported
// it, the entries chosen, whether the stored directories come back, and the destination.
// The windows show and edit this plan; none reads another window's controls.
#include "restore/EmptyDirectories.h"
#include "restore/Listing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cwr {

struct RestorePlan {
    std::vector<ListedEntry> files;       // the file entries, in listing order
    std::vector<std::string> directories; // the directory entries' list lines
    std::string lastMessage;              // the listing's last message, as the sink got it
    DirectoryStamps directoryStamps;      // the directory entries' time and mode, by list line
    bool damaged = false;                 // the listing said the set lost its directory
    std::vector<bool> selected;           // one flag per file entry
    bool restoreStructure = false;
    std::string destination;

    // Forgets a listing and its choices, for a new one.
    void clearListing();
    // One message of a listing; the entry it reports, or nullptr for any other message.
    const ListedEntry* addListingMessage(const std::string& message);
    // Moves the directory entries out of the file entries; returns how many there were.
    std::int64_t separateDirectories();
    // The listing's encrypted flag: field 13 of its last message.
    std::string encryptedFlag() const;

    // The selection, one flag per file entry (missing flags are off).
    void setSelection(std::vector<bool> flags);
    std::int64_t selectedCount() const;
    std::int64_t selectedBytes() const;
    std::vector<std::string> selectedPaths() const;
    // The directory lines to re-create after a restore with the structure.
    std::vector<std::string> directoryLines() const;
};

} // namespace cwr
