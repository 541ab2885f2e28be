// The profile's stores against their files on disk: the row `list` shows for
// each (ok, missing or damaged, and why), and the stores detach --missing
// may remove. Portable: the files are learned through FileProbe.
#pragma once
#include <string>
#include <vector>

#include "cli/file_facts.h"
#include "cli/outlook_profile.h"
#include "cli/records.h"

namespace pelorin::cli {

// One store's row: its kind, name, format and size as the reason, and what
// is wrong. A file Outlook holds open is ok ("in use by Outlook"); only the
// file's attributes are needed to see that it is there. `facts` are its
// file's (none for a store without a file path or that Outlook cannot read).
FileRecord storeHealth(const Store& store, const FileFacts& facts);

// A store detach would remove, or say why it keeps.
struct DetachTarget {
    std::wstring path;
    const Store* store = nullptr;  // null: the path is no store of the profile
    std::wstring keep = {};        // set: not removed, for this reason (skipped)
    std::wstring removedWhy = {};  // the reason shown when it is removed
};

// detach --missing: the PST stores (never an OST or a store without a file
// path) whose file is not there. Only a file proven gone (its folder is
// there, the file is not) is removed; a folder or share that cannot be
// reached, or access denied, keeps the store.
std::vector<DetachTarget> missingTargets(const std::vector<Store>& stores, FileProbe& probe);

}  // namespace pelorin::cli
