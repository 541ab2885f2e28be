// Collection: ordered, 1-based values (text or 32-bit integer) under unique
// text keys. Shared by reference (std::shared_ptr): whoever holds it keeps it.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <variant>
#include <vector>

namespace pelorin::scan {

class Collection {
public:
    using Value = std::variant<std::wstring, std::int32_t>;

    // Adds at the end; a key already present raises Error(kErrDuplicateKey)
    // and adds nothing.
    void add(Value value, const std::wstring& key);
    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
    // 1-based; out of range raises Error(kErrSubscript).
    const Value& item(std::int32_t index) const;
    const std::wstring& text(std::int32_t index) const;  // Item as text
    std::int32_t number(std::int32_t index) const;       // Item as integer
    bool hasKey(const std::wstring& key) const;

private:
    // The scanner adds hundreds of thousands of keys of the form "K<n>" with
    // n running up from 0. Those go into a bitmap indexed by n (or, when n
    // lies far beyond the bitmap, into a set of numbers); every other key
    // goes into a set of texts. A key has exactly one home, so "K7" and "K07"
    // stay two different keys.
    bool hasNumber(std::uint32_t n) const;
    void addNumber(std::uint32_t n);

    // A deque: it grows without moving its items or keeping spare room.
    std::deque<Value> items_;
    std::vector<bool> numberBits_;
    std::unordered_set<std::uint32_t> farNumbers_;
    std::unordered_set<std::wstring> keys_;
};

using CollectionRef = std::shared_ptr<Collection>;

}  // namespace pelorin::scan
