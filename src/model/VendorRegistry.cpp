#include "VendorRegistry.h"

#include <algorithm>
#include <array>

#include "CsvField.h"
#include "FileIo.h"
#include "HexDigit.h"

namespace pondel {
namespace {

// The three registries together are a few megabytes; anything far larger is
// not one of them.
constexpr std::size_t kMaxRegistryBytes = 64 * 1024 * 1024;
constexpr std::size_t kFieldCapacity = 512;

// iab.csv holds 36-bit blocks as well, given out before oui36.csv began.
constexpr std::array<std::string_view, 4> kRegistryFiles{
    "oui36.csv", "iab.csv", "mam.csv", "oui.csv"};

std::uint64_t MacBits(const MacAddress& mac)
{
    std::uint64_t bits = 0;
    for (const std::uint8_t byte : mac)
        bits = (bits << 8) | byte;
    return bits;
}

} // namespace

VendorRegistry VendorRegistry::ReadFolder(const std::filesystem::path& folder)
{
    VendorRegistry registry;
    for (const std::string_view file : kRegistryFiles) {
        const Result<std::string> text = ReadWholeFile(folder / file, kMaxRegistryBytes);
        if (text)
            registry.AddCsv(text.Value());
    }
    registry.Seal();
    return registry;
}

void VendorRegistry::AddCsv(std::string_view text)
{
    // The header names the columns; a file whose first line is a block is
    // read from its first line.
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!(first && line.starts_with("Registry,")))
            AddLine(line);
        first = false;
    }
}

void VendorRegistry::AddLine(std::string_view line)
{
    std::string registry;
    std::string assignment;
    std::string name;
    std::optional<std::size_t> next = NextCsvField(line, 0, registry, kFieldCapacity);
    if (!next)
        return;
    next = NextCsvField(line, *next, assignment, kFieldCapacity);
    if (!next)
        return;
    static_cast<void>(NextCsvField(line, *next, name, kFieldCapacity));
    const auto length = std::find(std::begin(kBits), std::end(kBits), assignment.size() * 4);
    if (length == std::end(kBits) || name.empty())
        return;
    std::uint64_t prefix = 0;
    for (const char digit : assignment) {
        const std::optional<int> value = HexDigitValue(digit);
        if (!value)
            return;
        prefix = (prefix << 4) | static_cast<std::uint64_t>(*value);
    }
    // Names are kept once each in one text; a block points into it.
    const Block block{
        prefix, static_cast<std::uint32_t>(names_.size()), static_cast<std::uint32_t>(name.size())};
    names_ += name;
    blocks_[length - std::begin(kBits)].push_back(block);
}

void VendorRegistry::Seal()
{
    for (std::vector<Block>& table : blocks_) {
        std::stable_sort(table.begin(), table.end());
        // A block listed twice keeps its first name.
        table.erase(std::unique(table.begin(), table.end(),
                        [](const Block& a, const Block& b) { return a.prefix == b.prefix; }),
            table.end());
    }
}

std::string_view VendorRegistry::Find(const MacAddress& mac) const
{
    const std::uint64_t bits = MacBits(mac);
    for (std::size_t i = 0; i < kLengths; ++i) {
        const Block key{bits >> (48 - kBits[i]), 0, 0};
        const auto found = std::lower_bound(blocks_[i].begin(), blocks_[i].end(), key);
        if (found != blocks_[i].end() && found->prefix == key.prefix)
            return std::string_view(names_).substr(found->nameOffset, found->nameSize);
    }
    return {};
}

std::size_t VendorRegistry::Size() const noexcept
{
    std::size_t size = 0;
    for (const std::vector<Block>& table : blocks_)
        size += table.size();
    return size;
}

} // namespace pondel
