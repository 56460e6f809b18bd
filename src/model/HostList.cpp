#include "HostList.h"

#include <stdexcept>
#include <string>

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
        records_.reserve(static_cast<std::size_t>(count));
}

} // namespace pondel
