// A file's facts (pst/file_facts.h) as tests make them: from its first bytes,
// or a sound Unicode PST's changed.
#pragma once
#include <cstdint>
#include <vector>

#include "pst/file_facts.h"
#include "support/pst_files.h"

namespace pelorin::test {

// An existing, readable file whose first bytes are `bytes`; `size` 0: their length.
inline pst::FileFacts factsOf(std::vector<std::uint8_t> bytes, std::int64_t size = 0) {
    pst::FileFacts f;
    f.exists = f.headRead = true;
    f.size = size ? size : static_cast<std::int64_t>(bytes.size());
    if (bytes.size() > 564) bytes.resize(564);
    f.head = std::move(bytes);
    return f;
}

template <class Change>
pst::FileFacts soundWith(Change change) {
    pst::FileFacts f = factsOf(pstBytes());
    change(f);
    return f;
}

}  // namespace pelorin::test
