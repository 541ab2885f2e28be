// A collection's text values in order, for comparing whole collections at
// once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "scan/collection.h"

namespace pelorin::test {

inline std::vector<std::wstring> texts(const scan::CollectionRef& collection) {
    std::vector<std::wstring> out;
    for (std::int32_t i = 1; i <= collection->count(); ++i) out.push_back(collection->text(i));
    return out;
}

}  // namespace pelorin::test
