#include "HostSections.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "AsciiText.h"
#include "RunOnThreads.h"
#include "SettingsValues.h"

namespace pondel {
namespace {

constexpr std::string_view kHostNameKey = "HOST_NAME";
constexpr std::string_view kCommentKey = "COMMENT";
constexpr std::string_view kIpAddrKey = "IP_ADDR";
constexpr std::string_view kNetMaskKey = "NET_MASK";
constexpr std::string_view kMacAddrKey = "MAC_ADDR";
// The wake-up options and the group of a host: written only for a host that
// has them, or over a key the section already holds, so that the sections of
// other hosts stay as they always were.
constexpr std::string_view kInterfaceKey = "INTERFACE";
constexpr std::string_view kSecureOnKey = "SECURE_ON";
constexpr std::string_view kGroupKey = "GROUP";
// Never written; a stale section survives only when it has this key too.
constexpr std::string_view kStaleCheckMacKey = "MAC_ADR";

constexpr std::string_view kHostSectionPrefix = "HOST_";

// The row number of a section name that "HOST_%d" produces: digits without a
// sign or leading zeros. Letters match without regard to case, as the
// section lookup does.
std::optional<std::uint32_t> HostSectionNumber(std::string_view name) noexcept
{
    if (name.size() <= kHostSectionPrefix.size())
        return std::nullopt;
    if (!EqualIgnoringAsciiCase(name.substr(0, kHostSectionPrefix.size()), kHostSectionPrefix))
        return std::nullopt;
    const std::string_view digits = name.substr(kHostSectionPrefix.size());
    if (digits.size() > 1 && digits.front() == '0')
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

struct HostSection {
    std::uint32_t number;
    std::string_view name;
    IniDocument::SectionHandle handle;
};

// The host sections numbered from first up to, not including, limit, in the
// order of their numbers. This visits the sections the file holds instead of
// every number of the range, which MAX_HOST_NUM may make four billion long,
// and finds the same sections.
std::vector<HostSection> HostSectionsBetween(
    const IniDocument& document, std::uint32_t first, std::uint32_t limit)
{
    std::vector<HostSection> sections;
    // Room for every section: a large file holds hosts and little else, and
    // growing the list step by step would copy it over and over.
    sections.reserve(document.SectionCountBound());
    document.ForEachSection([&](const IniDocument::NamedSection& section) {
        const auto number = HostSectionNumber(section.name);
        if (number && *number >= first && *number < limit)
            sections.push_back({*number, section.name, section.handle});
    });
    // Files this program wrote hold them in order already.
    if (!std::ranges::is_sorted(sections, {}, &HostSection::number))
        std::ranges::sort(sections, {}, &HostSection::number);
    return sections;
}

std::string_view ValueOrEmpty(
    const IniDocument& document, std::string_view section, std::string_view key)
{
    return document.Find(section, key).value_or(std::string_view{});
}

// The five texts of a host section, its wake-up options and its group.
struct HostSectionViews {
    HostFieldViews fields;
    std::string_view interfaceName;
    std::string_view secureOn;
    std::string_view group;
};

HostSectionViews ReadHost(const IniDocument& document, IniDocument::SectionHandle section)
{
    static constexpr std::array<std::string_view, 8> kKeys{kHostNameKey, kCommentKey, kIpAddrKey,
        kNetMaskKey, kMacAddrKey, kInterfaceKey, kSecureOnKey, kGroupKey};
    std::array<std::optional<std::string_view>, kKeys.size()> values;
    document.FindAll(section, kKeys, values);
    const auto value = [&values](std::size_t i) { return values[i].value_or(std::string_view{}); };
    // Each field cuts its value to its own size.
    return {
        FieldViews(value(0), value(1), value(2), value(3), value(4)), value(5), value(6), value(7)};
}

// Fills a record from its section; the record is zero-filled.
void FillHostRecord(tHostInfo& record, const HostSectionViews& host) noexcept
{
    FillEmptyHostInfo(record, host.fields);
    SetField(record.interfaceName, host.interfaceName);
    SetField(record.secureOn, host.secureOn);
    SetField(record.group, host.group);
}

// How many threads read a list of that many hosts: one for a short list,
// where starting a thread costs more than it saves.
std::size_t ReadingThreads(std::size_t hostCount)
{
    constexpr std::size_t kHostsPerThread = 8192;
    constexpr std::size_t kMostThreads = 4;
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(
        hostCount / kHostsPerThread, 1, std::min(processors, kMostThreads));
}

// The records of an empty list from the host sections, in their order, the
// sections without an address left out. Long lists are read by several
// threads, each filling blocks of records of its own; the document is only
// read meanwhile.
void ReadHostRecords(
    const IniDocument& document, std::span<const HostSection> sections, HostList& hosts)
{
    const std::span<tHostInfo> records = hosts.AppendEmpty(sections.size());
    std::vector<std::uint8_t> withoutAddress(sections.size());
    const auto readBlock = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const HostSectionViews host = ReadHost(document, sections[i].handle);
            if (host.fields.ipAddr.empty())
                withoutAddress[i] = 1;
            else
                FillHostRecord(records[i], host);
        }
    };
    // Blocks of a few hundred hosts go to whichever thread is free.
    constexpr std::size_t kBlock = 512;
    std::atomic<std::size_t> nextBlock{0};
    RunOnThreads(ReadingThreads(sections.size()), [&] {
        for (std::size_t begin = nextBlock++ * kBlock; begin < sections.size();
             begin = nextBlock++ * kBlock)
            readBlock(begin, std::min(sections.size(), begin + kBlock));
    });
    hosts.RemoveFlagged(withoutAddress);
}

void WriteOptionalKeys(
    IniDocument& document, IniDocument::SectionHandle section, const tHostInfo& host)
{
    static constexpr std::array<std::string_view, 3> kKeys{kInterfaceKey, kSecureOnKey, kGroupKey};
    const std::array<std::string_view, kKeys.size()> texts{
        FieldText(host.interfaceName), FieldText(host.secureOn), FieldText(host.group)};
    // A key the section holds is written even when empty: the row may now
    // hold another host, or the option was cleared.
    std::array<std::optional<std::string_view>, kKeys.size()> held;
    document.FindAll(section, kKeys, held);
    std::array<std::string, kKeys.size()> quoted;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (!texts[i].empty() || held[i])
            document.SetString(section, kKeys[i], StoredValue(texts[i], quoted[i]));
    }
}

void WriteHost(IniDocument& document, IniDocument::SectionHandle section, const tHostInfo& host)
{
    // Room for the texts that need quotes; the others are written as views.
    std::array<std::string, 5> quoted;
    const std::array<IniDocument::KeyValue, 5> values{{
        {kHostNameKey, StoredValue(host.hostName, quoted[0])},
        {kCommentKey, StoredValue(host.comment, quoted[1])},
        {kIpAddrKey, StoredValue(host.ipAddr, quoted[2])},
        {kNetMaskKey, StoredValue(host.netMask, quoted[3])},
        {kMacAddrKey, StoredValue(host.macAddr, quoted[4])},
    }};
    document.SetAll(section, values);
    WriteOptionalKeys(document, section, host);
}

bool IsCompleteStaleSection(const IniDocument& document, std::string_view section)
{
    for (const std::string_view key :
        {kHostNameKey, kCommentKey, kIpAddrKey, kNetMaskKey, kStaleCheckMacKey}) {
        if (ValueOrEmpty(document, section, key).empty())
            return false;
    }
    return true;
}

} // namespace

void LoadHostList(const IniDocument& document, std::uint32_t maxHostNum, HostList& hosts)
{
    LoadHostList(document, maxHostNum, hosts, nullptr);
}

void LoadHostList(const IniDocument& document, std::uint32_t maxHostNum, HostList& hosts,
    const std::function<bool(const HostNameAndAddress&)>& keep)
{
    hosts.RemoveAll();
    const std::vector<HostSection> sections = HostSectionsBetween(document, 0, maxHostNum);
    if (!keep) {
        ReadHostRecords(document, sections, hosts);
        return;
    }
    // The filter needs two of the five keys; the others are read for the
    // hosts it keeps.
    static constexpr std::array<std::string_view, 2> kFilterKeys{kHostNameKey, kIpAddrKey};
    for (const HostSection& section : sections) {
        std::array<std::optional<std::string_view>, kFilterKeys.size()> values;
        document.FindAll(section.handle, kFilterKeys, values);
        const HostFieldViews cut = FieldViews(values[0].value_or(std::string_view{}), {},
            values[1].value_or(std::string_view{}), {}, {});
        if (!cut.ipAddr.empty() && keep(HostNameAndAddress{cut.hostName, cut.ipAddr})) {
            tHostInfo record;
            FillHostRecord(record, ReadHost(document, section.handle));
            hosts.Append(record);
        }
    }
}

std::optional<std::int32_t> RowOfHostSection(
    const IniDocument& document, std::uint32_t maxHostNum, std::uint32_t section)
{
    if (section >= maxHostNum)
        return std::nullopt;
    std::int32_t row = 0;
    for (const HostSection& host : HostSectionsBetween(document, 0, section + 1)) {
        const bool loaded = !ReadHost(document, host.handle).fields.ipAddr.empty();
        if (host.number == section)
            return loaded ? std::optional(row) : std::nullopt;
        if (loaded)
            ++row;
    }
    return std::nullopt;
}

void SaveHostList(IniDocument& document, const HostList& hosts, std::uint32_t maxHostNum)
{
    // The sections that hold rows now, and those past the list's end, found
    // in one pass rather than by looking each name up: HOST_<row> is the
    // section that counts for a row. Names differ, and so do their numbers.
    const std::uint32_t rows = static_cast<std::uint32_t>(hosts.Count());
    std::vector<std::optional<IniDocument::SectionHandle>> rowSections(rows);
    std::vector<std::string_view> pastTheEnd;
    document.ForEachSection([&](const IniDocument::NamedSection& section) {
        const auto number = HostSectionNumber(section.name);
        if (!number || *number >= maxHostNum)
            return;
        if (*number < rows)
            rowSections[*number] = section.handle;
        else
            pastTheEnd.push_back(section.name);
    });
    std::uint32_t row = 0;
    for (const tHostInfo& host : hosts) {
        auto section = rowSections[row];
        if (!section)
            section = document.AddSection(std::string(kHostSectionPrefix) + std::to_string(row));
        WriteHost(document, *section, host);
        ++row;
    }
    for (const std::string_view name : pastTheEnd) {
        // A later section of the same name, left by a hand edit, counts as
        // soon as the first goes; it must pass the same test or go too.
        while (document.HasSection(name) && !IsCompleteStaleSection(document, name))
            document.DeleteSection(name);
    }
}

} // namespace pondel
