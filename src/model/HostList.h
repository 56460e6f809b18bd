#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "HostInfo.h"

namespace pondel {

// The ordered hosts of the program; row i of the window's list shows record i.
// Indices out of range are caller errors and throw std::out_of_range.
class HostList final {
public:
    [[nodiscard]] std::int32_t Count() const noexcept;
    bool IsEmpty() const noexcept { return records_.empty(); }

    tHostInfo& operator[](std::int32_t index);
    const tHostInfo& operator[](std::int32_t index) const;

    // Returns the index of the new last record.
    std::int32_t Append(const tHostInfo& host);
    // Moves the records from index on one place up. An index at or past the
    // end first grows the list with empty records up to index + 1.
    void InsertAt(std::int32_t index, const tHostInfo& host);
    void RemoveAt(std::int32_t index);
    // Empties the list and releases its storage.
    void RemoveAll() noexcept;

    void Reserve(std::int32_t count);

    // Adds count empty (zero-filled) records at the end and hands them out to
    // be filled in place, by several threads at once if need be: a list of
    // sixty thousand hosts is read faster so than record by record.
    [[nodiscard]] std::span<tHostInfo> AppendEmpty(std::size_t count);
    // Removes the records whose flag is set, keeping the others in order;
    // flags[i] belongs to record i.
    void RemoveFlagged(std::span<const std::uint8_t> flags);

    auto begin() const noexcept { return records_.begin(); }
    auto end() const noexcept { return records_.end(); }

private:
    [[nodiscard]] std::size_t CheckedIndex(std::int32_t index) const;
    // Room for `capacity` records, backed by large pages where it is large.
    void Grow(std::size_t capacity);

    std::vector<tHostInfo> records_;
};

} // namespace pondel
