// The settings file as anyone may have left it: the document must keep every
// byte it does not change, and whatever settings and hosts it yields must
// come back unchanged from a save and a fresh load.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "AsciiText.h"
#include "FuzzCheck.h"
#include "IniDocument.h"
#include "Settings.h"

namespace pondel::fuzz {
namespace {

AppSettings LoadedSettings(const IniDocument& document)
{
    AppSettings settings;
    SetDefaultSettings(settings);
    LoadSettings(document, settings);
    return settings;
}

// A section that survives the save of a shorter list because a hand edit
// gave it every field, MAC_ADR included; it then loads as one more host.
bool MayHoldStaleHosts(std::string_view text)
{
    return ToLowerAscii(text).find("mac_adr") != std::string::npos;
}

void CheckSaveAndReload(IniDocument& document, const AppSettings& settings, const HostList& hosts,
    std::string_view originalText)
{
    WindowState window;
    window.columnWidths = settings.columnWidths;
    window.firstSelectedRow = hosts.IsEmpty() ? -1 : 0;
    SaveSettings(document, settings, hosts, window);
    const std::string saved = document.Serialize();
    // A save writes the same text from the document's pieces.
    std::string joined;
    if (const auto pieces = document.Pieces(std::numeric_limits<std::size_t>::max())) {
        for (const std::string_view piece : *pieces)
            joined += piece;
    }
    Require(joined == saved, "the pieces of a document join to its text");
    const IniDocument reread = IniDocument::Parse(saved);

    Require(LoadedSettings(reread) == settings, "saved settings load back unchanged");
    Require(ReadIntSetting(reread, kSettingSection, kDefaultHostKey) == window.firstSelectedRow,
        "the default host loads back");
    HostList again;
    LoadHostList(reread, settings.maxHostNum, again);
    Require(again.Count() >= hosts.Count(), "no saved host is lost");
    Require(again.Count() == hosts.Count() || MayHoldStaleHosts(originalText),
        "no host appears from nowhere");
    for (std::int32_t row = 0; row < hosts.Count(); ++row)
        Require(SameTexts(hosts[row], again[row]), "saved hosts load back unchanged");
}

} // namespace
} // namespace pondel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel;
    using namespace pondel::fuzz;
    const std::string_view text = AsText(data, size);
    IniDocument document = IniDocument::Parse(text);
    Require(document.Serialize() == text, "an untouched document writes back byte for byte");

    const AppSettings settings = LoadedSettings(document);
    HostList hosts;
    LoadHostList(document, settings.maxHostNum, hosts);
    for (const tHostInfo& host : hosts)
        Require(
            IsWellFormed(host) && host.ipAddr[0] != '\0', "loaded hosts are whole and addressed");
    for (const std::string_view key : {kWindowXKey, kWindowYKey, kWindowWidthKey, kWindowHeightKey})
        (void)ReadIntSetting(document, kWindowSection, key);

    CheckSaveAndReload(document, settings, hosts, text);
    return 0;
}
