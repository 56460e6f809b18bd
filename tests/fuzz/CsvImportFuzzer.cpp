// CSV files from spreadsheets and hand edits: importing never overruns a
// record or the list limit, and a list exported and imported again is the
// same list.
#include <cstdint>
#include <string>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "CsvField.h"
#include "CsvHostFile.h"
#include "FuzzCheck.h"
#include "HostGroups.h"
#include "MacAddress.h"
#include "WakeOptionTexts.h"

namespace pondel::fuzz {
namespace {

void CheckFieldSplitting(std::string_view line, std::size_t capacity)
{
    std::string field;
    std::size_t position = 0;
    for (;;) {
        const auto next = NextCsvField(line, position, field, capacity);
        Require(capacity == 0 || field.size() < capacity, "a field stays within its capacity");
        if (!next)
            break;
        Require(*next > position && *next <= line.size(), "fields move forward within the line");
        position = *next;
    }
}

bool SameExtraTexts(const tHostInfo& a, const tHostInfo& b)
{
    return FieldText(a.group) == FieldText(b.group) &&
        FieldText(a.interfaceName) == FieldText(b.interfaceName) &&
        FieldText(a.secureOn) == FieldText(b.secureOn);
}

// Both kinds of file: the plain one keeps the five texts, the one with
// groups the group, interface and SecureOn password too.
void CheckExportRoundTrip(const HostList& hosts)
{
    for (const CsvFlavour flavour : {CsvFlavour::kPlain, CsvFlavour::kWithGroups}) {
        HostList imported;
        const CsvImportResult result =
            ImportCsvHostList(FormatCsvHostList(hosts, flavour), imported, 1u << 20);
        Require(result.added == hosts.Count(), "every exported host imports again");
        for (std::int32_t row = 0; row < hosts.Count(); ++row) {
            Require(SameTexts(hosts[row], imported[row]), "an exported host imports unchanged");
            Require(flavour == CsvFlavour::kPlain || SameExtraTexts(hosts[row], imported[row]),
                "a host exported with its group imports with it");
        }
    }
}

void CheckImport(std::string_view text, std::uint32_t maxHostNum)
{
    HostList hosts;
    const CsvImportResult result = ImportCsvHostList(text, hosts, maxHostNum);
    Require(result.added == hosts.Count(), "every host added is counted");
    Require(maxHostNum == 0 || static_cast<std::uint32_t>(hosts.Count()) <= maxHostNum,
        "the import stops at the list limit");
    for (const tHostInfo& host : hosts) {
        Require(IsWellFormed(host) && !IsBlankText(host.ipAddr),
            "imported hosts are whole and addressed");
        Require(StoredMacText(host.macAddr) == std::string(host.macAddr),
            "imported MAC addresses are empty or canonical");
        Require(IsValidGroupName(FieldText(host.group)), "imported groups are valid names");
        Require(host.interfaceName[0] == '\0' || IsValidInterfaceName(host.interfaceName),
            "imported interfaces are empty or valid names");
        Require(StoredMacText(host.secureOn) == std::string(host.secureOn),
            "imported SecureOn passwords are empty or canonical");
    }
    CheckExportRoundTrip(hosts);
}

// A text a record can hold and an export keeps: no line end and no NUL.
std::string MadeUpText(FuzzedDataProvider& input, std::size_t maxLength)
{
    std::string text = input.ConsumeRandomLengthString(maxLength);
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return text;
}

// A MAC address as a host entered, imported or pasted holds it: none, or
// the canonical form.
std::string MacText(FuzzedDataProvider& input)
{
    if (input.ConsumeBool())
        return {};
    MacAddress mac{};
    for (std::uint8_t& byte : mac)
        byte = input.ConsumeIntegral<std::uint8_t>();
    return FormatMacAddress(mac);
}

// Hosts of every length the record allows, not only those an import makes.
HostList MadeUpHosts(FuzzedDataProvider& input)
{
    HostList hosts;
    const int count = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < count; ++i) {
        const std::string name = MadeUpText(input, 160);
        const std::string comment = MadeUpText(input, 160);
        const std::string ip = MadeUpText(input, 40);
        const std::string mask = MadeUpText(input, 40);
        const std::string mac = MacText(input);
        const std::string group = MadeUpText(input, 40);
        const std::string interfaceName = MadeUpText(input, 20);
        tHostInfo host = MakeHostInfo(name, comment, ip, mask, mac);
        // Only what the edit dialog or an import would store.
        if (IsValidGroupName(group))
            SetField(host.group, group);
        if (IsValidInterfaceName(interfaceName))
            SetField(host.interfaceName, interfaceName);
        SetField(host.secureOn, MacText(input));
        // A host needs an address, blanks cut off at the field's end included.
        if (IsBlankText(host.ipAddr))
            SetField(host.ipAddr, "192.0.2.1");
        hosts.Append(host);
    }
    return hosts;
}

} // namespace
} // namespace pondel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel;
    using namespace pondel::fuzz;
    FuzzedDataProvider input(data, size);
    const auto maxHostNum = input.ConsumeIntegralInRange<std::uint32_t>(0, 300);
    const auto capacity = input.ConsumeIntegralInRange<std::size_t>(0, 200);
    CheckExportRoundTrip(MadeUpHosts(input));
    const std::string text = input.ConsumeRemainingBytesAsString();
    CheckFieldSplitting(text, capacity);
    CheckImport(text, maxHostNum);
    return 0;
}
