#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "MacAddress.h"

namespace pondel {

// Where Debian's ieee-data package puts the IEEE registries.
inline constexpr std::string_view kVendorRegistryFolder = "/usr/share/ieee-data";

// The organisations the IEEE has given blocks of MAC addresses to: the
// 24-bit blocks of oui.csv, and the 28- and 36-bit blocks of mam.csv,
// oui36.csv and iab.csv where present. A MAC address is looked up in a sorted table,
// its longest matching block first, since a 36-bit block lies inside a
// 24-bit one given to the IEEE itself.
class VendorRegistry final {
public:
    VendorRegistry() = default;

    // The registries of a folder. A missing, unreadable or malformed file
    // adds nothing; lines that do not read as a block are skipped.
    [[nodiscard]] static VendorRegistry ReadFolder(const std::filesystem::path& folder);

    // Adds the blocks of one registry's CSV text: a header line, then
    // "registry,assignment,organisation,address" lines whose assignment is
    // 6, 7 or 9 hexadecimal digits. Call Seal once everything is added.
    void AddCsv(std::string_view text);
    // Sorts the tables for Find.
    void Seal();

    // The organisation that holds the address's block; empty when none does.
    [[nodiscard]] std::string_view Find(const MacAddress& mac) const;
    [[nodiscard]] std::size_t Size() const noexcept;

private:
    struct Block {
        std::uint64_t prefix = 0; // the assignment's bits, right-aligned
        std::uint32_t nameOffset = 0;
        std::uint32_t nameSize = 0;
        bool operator<(const Block& other) const noexcept { return prefix < other.prefix; }
    };
    // One table per block length: 36, 28 and 24 bits, longest first.
    static constexpr std::size_t kLengths = 3;
    static constexpr std::uint32_t kBits[kLengths] = {36, 28, 24};

    void AddLine(std::string_view line);

    std::vector<Block> blocks_[kLengths];
    std::string names_;
};

} // namespace pondel
