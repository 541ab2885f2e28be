// The store files the server holds open while it runs, as Outlook holds
// every PST of its profile open: read and write access, sharing only reading
// with other programs (none may write, rename or delete the file), and an
// exclusive byte-range lock over the whole file, so another program can open
// it but not read it (Windows enforces the lock on reads; Wine takes it but
// lets other handles read).
#pragma once
#include <string>
#include <vector>

namespace standin {

// Opens and locks each store's file not held yet. A file that is not there,
// cannot be opened for writing or is no sound PST is not held (Outlook
// would not open it either).
void holdStoreFiles(const std::vector<std::wstring>& paths);

// Closes the file of a store that left the profile.
void releaseStoreFile(const std::wstring& path);

}  // namespace standin
