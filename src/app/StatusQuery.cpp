#include "StatusQuery.h"

#include "Ipv4Text.h"
#include "VendorDirectory.h"

namespace pondel {
namespace {

class QueryEvents final : public ProbeRunEvents {
public:
    QueryEvents(const HostList& hosts, std::vector<std::int32_t> rows)
        : hosts_(hosts)
        , rows_(std::move(rows))
        , verdicts_(rows_.size())
        , links_(rows_.size())
    {
    }

    std::string TargetOf(std::uint64_t index) override { return hosts_[rows_[index]].ipAddr; }
    bool ShouldStop() override { return false; }
    void OnProbed(std::uint64_t) override { }
    void OnAnswer(std::uint64_t index, bool answered) override
    {
        OnLinkAnswer(index, answered, LinkAnswer{});
    }
    void OnLinkAnswer(std::uint64_t index, bool echoed, const LinkAnswer& link) override
    {
        verdicts_[index] = JudgeHost(echoed, link, hosts_[rows_[index]].macAddr);
        links_[index] = link;
    }

    [[nodiscard]] std::size_t Count() const noexcept { return rows_.size(); }
    [[nodiscard]] std::int32_t Row(std::size_t index) const { return rows_[index]; }
    [[nodiscard]] const HostVerdict& Verdict(std::size_t index) const { return verdicts_[index]; }
    [[nodiscard]] const LinkAnswer& Link(std::size_t index) const { return links_[index]; }

private:
    const HostList& hosts_;
    const std::vector<std::int32_t> rows_;
    std::vector<HostVerdict> verdicts_;
    std::vector<LinkAnswer> links_;
};

} // namespace

const char* StateWord(const HostVerdict& verdict)
{
    switch (verdict.linkState) {
    case HostLinkState::kUpNoPing:
        return "up-no-ping";
    case HostLinkState::kAnotherMachine:
        return "another-machine";
    case HostLinkState::kEchoOnly:
        break;
    }
    return verdict.active ? "up" : "down";
}

Result<std::vector<HostStatusLine>> QueryHostStatus(
    const HostList& hosts, const AppSettings& settings, const ProbeRunOpener& openProbe)
{
    std::vector<std::int32_t> probed;
    for (std::int32_t row = 0; row < hosts.Count(); ++row) {
        const std::uint32_t address = TextToIp(hosts[row].ipAddr);
        if (hosts[row].ipAddr[0] != '\0' && address != kInvalidIp)
            probed.push_back(row);
    }
    Result<ProbeRun> run = openProbe(StatusProbeSettings(settings));
    if (!run)
        return run.Error();
    // The registry is read while the hosts are probed.
    VendorDirectory vendors(settings.vendorRegistryFolder.empty()
            ? std::filesystem::path(kVendorRegistryFolder)
            : std::filesystem::path(settings.vendorRegistryFolder));
    vendors.StartReading();
    QueryEvents events(hosts, probed);
    run.Value()(events.Count(), events);
    vendors.WaitUntilRead();

    std::vector<HostStatusLine> lines(static_cast<std::size_t>(hosts.Count()));
    for (std::int32_t row = 0; row < hosts.Count(); ++row)
        lines[row] = {hosts[row].hostName, hosts[row].ipAddr, "down", "", ""};
    for (std::size_t index = 0; index < events.Count(); ++index) {
        HostStatusLine& line = lines[events.Row(index)];
        line.state = StateWord(events.Verdict(index));
        if (const auto& mac = events.Link(index).mac) {
            line.answeredMac = FormatMacAddress(*mac);
            line.vendor = vendors.Find(*mac);
        }
    }
    return lines;
}

std::string FormatStatusLines(const std::vector<HostStatusLine>& lines)
{
    const auto field = [](const std::string& text) { return text.empty() ? "-" : text; };
    std::string text;
    for (const HostStatusLine& line : lines) {
        text += field(line.hostName) + '\t' + field(line.ipAddr) + '\t' + line.state + '\t' +
            field(line.answeredMac) + '\t' + field(line.vendor) + '\n';
    }
    return text;
}

} // namespace pondel
