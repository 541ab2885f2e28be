// The platform's file-system service for tests in its two ways of listing:
// each folder when it is opened, or on workers listing ahead of the scanner.
#pragma once
#include <utility>

#include "scan/filesystem.h"

namespace pelorin::test {

inline constexpr bool kListAhead = true;

inline scan::FileSystemFactory platformFileSystems(bool listAhead) {
    return [listAhead] {
        scan::ListingSetup setup;
        setup.threads = listAhead ? 4 : 0;
        return scan::makeListingFileSystem(std::move(setup));
    };
}

}  // namespace pelorin::test
