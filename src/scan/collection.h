// Collection: ordered, 1-based values (text or 32-bit integer) under unique
// text keys. Shared by reference (std::shared_ptr): whoever holds it keeps it.
#pragma once
#include <cstdint>
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
    void Add(Value value, const std::wstring& key);
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // 1-based; out of range raises Error(kErrSubscript).
    const Value& Item(std::int32_t index) const;
    const std::wstring& Text(std::int32_t index) const;  // Item as text
    std::int32_t Number(std::int32_t index) const;       // Item as integer
    bool HasKey(const std::wstring& key) const { return keys_.count(key) != 0; }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<Value> items_;
    std::unordered_set<std::wstring> keys_;
};

using CollectionRef = std::shared_ptr<Collection>;

}  // namespace pelorin::scan
