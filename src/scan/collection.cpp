// The scanner's collection type: items in order of addition, keys unique.
#include "scan/collection.h"

#include <algorithm>
#include <optional>

#include "base/error.h"

namespace pelorin::scan {
namespace {

constexpr std::int32_t kErrTypeMismatch = 13;

// The number n of a key spelled exactly "K<n>": plain decimal digits, no
// sign, no leading zero, at most 2147483647. Any other spelling is an
// ordinary text key.
std::optional<std::uint32_t> numberOfKey(const std::wstring& key) {
    const std::size_t size = key.size();
    if (size < 2 || size > 11 || key[0] != L'K') return std::nullopt;
    if (key[1] == L'0' && size > 2) return std::nullopt;
    std::uint64_t n = 0;
    for (std::size_t i = 1; i < size; ++i) {
        const wchar_t c = key[i];
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (n > 2147483647u) return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

}  // namespace

bool Collection::hasNumber(std::uint32_t n) const {
    if (n < numberBits_.size()) return numberBits_[n];
    return farNumbers_.count(n) != 0;
}

void Collection::addNumber(std::uint32_t n) {
    if (n >= numberBits_.size()) {
        // Grow the bitmap when n is near (keys arrive roughly in order);
        // numbers that were far and are now covered move into it.
        const std::size_t reach = 2 * numberBits_.size() + 1024;
        if (n >= reach) {
            farNumbers_.insert(n);
            return;
        }
        numberBits_.resize(std::max<std::size_t>(reach, std::size_t{n} + 1), false);
        for (auto it = farNumbers_.begin(); it != farNumbers_.end();) {
            if (*it < numberBits_.size()) {
                numberBits_[*it] = true;
                it = farNumbers_.erase(it);
            } else {
                ++it;
            }
        }
    }
    numberBits_[n] = true;
}

bool Collection::hasKey(const std::wstring& key) const {
    if (const auto n = numberOfKey(key)) return hasNumber(*n);
    return keys_.count(key) != 0;
}

void Collection::add(Value value, const std::wstring& key) {
    const auto n = numberOfKey(key);
    if (n ? hasNumber(*n) : keys_.count(key) != 0)
        throw Error(kErrDuplicateKey,
                    L"This key is already associated with an element of this collection");
    // The item goes in first; should recording its key fail (no memory),
    // the item comes out again and the collection is as it was.
    items_.push_back(std::move(value));
    try {
        if (n)
            addNumber(*n);
        else
            keys_.insert(key);
    } catch (...) {
        items_.pop_back();
        throw;
    }
}

const Collection::Value& Collection::item(std::int32_t index) const {
    if (index < 1 || index > count()) throw Error(kErrSubscript, L"Subscript out of range");
    return items_[static_cast<std::size_t>(index - 1)];
}

const std::wstring& Collection::text(std::int32_t index) const {
    const Value& value = item(index);
    if (const auto* text = std::get_if<std::wstring>(&value)) return *text;
    throw Error(kErrTypeMismatch, L"Type mismatch");
}

std::int32_t Collection::number(std::int32_t index) const {
    const Value& value = item(index);
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    throw Error(kErrTypeMismatch, L"Type mismatch");
}

}  // namespace pelorin::scan
