#include "HostList.h"

#include <stdexcept>
#include <string>

#include "MemoryHints.h"

namespace pondel {

std::int32_t HostList::Count() const noexcept
{
    return static_cast<std::int32_t>(records_.size());
}

std::size_t HostList::CheckedIndex(std::int32_t index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("host index " + std::to_string(index) + " out of range");
    return static_cast<std::size_t>(index);
}

tHostInfo& HostList::operator[](std::int32_t index)
{
    return records_[CheckedIndex(index)];
}

const tHostInfo& HostList::operator[](std::int32_t index) const
{
    return records_[CheckedIndex(index)];
}

std::int32_t HostList::Append(const tHostInfo& host)
{
    records_.push_back(host);
    return Count() - 1;
}

void HostList::InsertAt(std::int32_t index, const tHostInfo& host)
{
    if (index < 0)
        throw std::out_of_range("host index " + std::to_string(index) + " out of range");
    const auto position = static_cast<std::size_t>(index);
    if (position >= records_.size()) {
        records_.resize(position + 1); // value-initialised: zero-filled records
        records_[position] = host;
        return;
    }
    records_.insert(records_.begin() + index, host);
}

void HostList::RemoveAt(std::int32_t index)
{
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(CheckedIndex(index)));
}

void HostList::RemoveAll() noexcept
{
    std::vector<tHostInfo>().swap(records_);
}

void HostList::Reserve(std::int32_t count)
{
    if (count > 0)
        Grow(static_cast<std::size_t>(count));
}

void HostList::Grow(std::size_t capacity)
{
    if (capacity <= records_.capacity())
        return;
    records_.reserve(capacity);
    PrepareToFill(records_.data() + records_.size(),
        (records_.capacity() - records_.size()) * sizeof(tHostInfo));
}

std::span<tHostInfo> HostList::AppendEmpty(std::size_t count)
{
    const std::size_t first = records_.size();
    Grow(first + count);
    records_.resize(first + count); // value-initialised: zero-filled records
    return std::span(records_).subspan(first);
}

void HostList::RemoveFlagged(std::span<const std::uint8_t> flags)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (i < flags.size() && flags[i] != 0)
            continue;
        if (kept != i)
            records_[kept] = records_[i];
        ++kept;
    }
    records_.resize(kept);
}

} // namespace pondel
