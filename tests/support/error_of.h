// The number of the pelorin::Error an action raises, or 0 when it raises none.
#pragma once
#include <cstdint>
#include <functional>

#include "base/error.h"

namespace pelorin::test {

inline std::int32_t errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

}  // namespace pelorin::test
