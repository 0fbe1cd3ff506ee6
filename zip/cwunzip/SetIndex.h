#pragma once
// The entries of a set as listing and extraction see them: from its central directory, or,
// when a single-volume set has none that can be read (a copy cut short), from a scan of its
// local headers. Each entry gets the stretch of the set its bytes may occupy; entries whose
// bytes overlap an earlier entry's or lie outside the set are marked refused.
#include "../common/VolumeSet.h"

#include <cstdint>
#include <vector>

namespace cw::zip {

struct IndexedEntry {
    CdEntry cd;
    long long limit = 0;  // the entry's bytes end at or before this offset
    bool refused = false; // overlaps an earlier entry or lies outside the set
};

struct SetIndex {
    std::vector<IndexedEntry> entries; // in the directory's order (the scan's when recovered)
    bool recovered = false;            // no readable directory: entries found by scanning
    bool encrypted = false;            // any entry is
    // Indices of entries in the order of their data in the set.
    std::vector<size_t> dataOrder() const;
};

// Fills index from an opened set (opened true) or, for a single volume without a readable
// directory, from src's local headers. False when neither gives a set.
bool loadSetIndex(VolumeSet& set, bool opened, Source& single, SetIndex& index);

// Scans src from its start for complete entries, one local header after another; an entry
// whose header is damaged is passed over to the next local header found.
std::vector<CdEntry> scanLocalHeaders(Source& src);

} // namespace cw::zip
