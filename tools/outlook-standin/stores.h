// The profile's stores as Outlook shows them: the Stores collection (Count,
// Item(i) from 1, enumeration), each Store (FilePath, DisplayName,
// ExchangeStoreType 3 for a PST, GetRootFolder) and its root Folder (Name).
// They are a snapshot of the profile taken when Stores was read.
#pragma once
#include <oaidl.h>

#include <string>
#include <vector>

#include "profile.h"

namespace standin {

IDispatch* newStores(Paths paths);  // one reference
IDispatch* newStore(const std::wstring& path);

// The file path of a root folder this server handed out, or false when the
// object is not one (a text, another server's object).
bool rootFolderPath(IUnknown* object, std::wstring& path);

}  // namespace standin
