#include "IniDocument.h"

#include <cstdint>
#include <vector>

#include "IniDocumentLines.h"

// The document's index of section names (see Slot).

namespace pondel {
namespace {

// The hash's upper half, kept in the slot.
std::uint32_t Fingerprint(std::size_t hash) noexcept
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
}

} // namespace

std::size_t IniDocument::NameHash(std::string_view name) noexcept
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(ToLowerAscii(c));
        hash *= 1099511628211ull;
    }
    // FNV leaves the low bits, which pick the slot, poorly mixed.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 33;
    return static_cast<std::size_t>(hash);
}

void IniDocument::BuildIndex()
{
    // At most three quarters full, where linear probing stays short.
    std::size_t capacity = 16;
    while (capacity * 3 < sections_.size() * 4)
        capacity *= 2;
    slots_.assign(capacity, Slot{});
    indexedNames_ = 0;
    for (std::size_t position = 1; position < sections_.size(); ++position) {
        sections_[position].hash = NameHash(sections_[position].name);
        IndexSection(position);
    }
}

std::size_t IniDocument::FindSlot(std::string_view name, std::size_t hash) const noexcept
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& entry = slots_[slot];
        if (entry.position == Slot::kFree ||
            (entry.fingerprint == Fingerprint(hash) &&
                EqualIgnoringAsciiCase(sections_[entry.position].name, name)))
            return slot;
    }
}

// Adds a section to the index, after the sections of its name before it.
void IniDocument::IndexSection(std::size_t position)
{
    Section& section = sections_[position];
    const std::size_t slot = FindSlot(section.name, section.hash);
    const std::size_t first = slots_[slot].Position();
    if (first == kNone || FirstLive(slot) == kNone) {
        // A new name, or one whose sections are all deleted.
        if (first == kNone)
            ++indexedNames_;
        slots_[slot] = Slot{Fingerprint(section.hash), static_cast<std::uint32_t>(position)};
        section.lastSameName = position;
        section.counts = true;
        return;
    }
    Section& head = sections_[first];
    sections_[head.lastSameName].nextSameName = position;
    head.lastSameName = position;
}

void IniDocument::GrowIndex()
{
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& entry : old) {
        if (entry.position == Slot::kFree)
            continue;
        std::size_t slot = sections_[entry.position].hash & mask;
        while (slots_[slot].position != Slot::kFree)
            slot = (slot + 1) & mask;
        slots_[slot] = entry;
    }
}

std::size_t IniDocument::FirstLive(std::size_t slot) const noexcept
{
    std::size_t position = slots_[slot].Position();
    while (position != kNone && sections_[position].deleted)
        position = sections_[position].nextSameName;
    return position;
}

std::size_t IniDocument::FindSection(std::string_view section) const noexcept
{
    section = ini::TrimSpaces(section);
    return FirstLive(FindSlot(section, NameHash(section)));
}

} // namespace pondel
