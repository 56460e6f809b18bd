#include "Settings.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "SettingsValues.h"

namespace pondel {
namespace {

using Names = std::vector<std::string>;
constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kUintMax = std::numeric_limits<std::uint32_t>::max();

AppSettings LoadedFrom(std::string_view text)
{
    AppSettings settings;
    SetDefaultSettings(settings);
    LoadSettings(IniDocument::Parse(text), settings);
    return settings;
}

HostList HostsFrom(std::string_view text, std::uint32_t maxHostNum = 100)
{
    HostList hosts;
    LoadHostList(IniDocument::Parse(text), maxHostNum, hosts);
    return hosts;
}

std::string Section(
    std::string_view name, std::string_view ip = "198.51.100.1", std::string_view extra = "")
{
    return "[" + std::string(name) + "]\nHOST_NAME=" + std::string(name) +
        "\nCOMMENT=c\nIP_ADDR=" + std::string(ip) +
        "\nNET_MASK=255.255.255.0\nMAC_ADDR=00:11:22:33:44:55\n" + std::string(extra);
}

std::string Sections(std::initializer_list<std::string_view> names)
{
    std::string text;
    for (const auto name : names)
        text += Section(name);
    return text;
}

std::string NamesOf(const HostList& hosts)
{
    std::string names;
    for (const tHostInfo& host : hosts)
        names += std::string(host.hostName) + ' ';
    return names;
}

TEST(SettingsValuesTest, TextsConvertLikeTheCLibraryWithoutOverflow)
{
    const std::pair<const char*, std::int32_t> signedCases[] = {{"12abc", 12}, {"abc", 0}, {"", 0},
        {" \t-5", -5}, {"+7", 7}, {"- 7", 0}, {"2147483647", kIntMax}, {"2147483648", kIntMax},
        {"-2147483648", kIntMin}, {"-2147483649", kIntMin},
        {"99999999999999999999999999999999", kIntMax},
        {"-99999999999999999999999999999999", kIntMin}};
    for (const auto& [text, expected] : signedCases)
        EXPECT_EQ(AtoiValue(text), expected) << text;
    // Unsigned reads keep every unsigned text and wrap negatives as atoi's result would.
    const std::pair<const char*, std::uint32_t> unsignedCases[] = {{"-1", kUintMax},
        {"-2147483648", 2147483648u}, {"-99999999999", 2147483648u}, {"3000000000", 3000000000u},
        {"4294967295", kUintMax}, {"4294967296", kUintMax},
        {"99999999999999999999999999999999", kUintMax}, {"x1", 0u}};
    for (const auto& [text, expected] : unsignedCases)
        EXPECT_EQ(AtoiUnsignedValue(text), expected) << text;
    // Colours read as sscanf of three hexadecimal pairs does.
    EXPECT_EQ(ParseColor("#12345678"), MakeColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ParseColor("#1 2 3"), MakeColor(1, 2, 3));
    EXPECT_FALSE(ParseColor("FF0000"));
    EXPECT_FALSE(ParseColor("#GG0000"));
    EXPECT_EQ(FormatColor(MakeColor(0, 0xAB, 0xFF)), "#00ABFF");
}

TEST(LoadHostListTest, SectionsLoadInNumberOrderWithoutGapsAndBelowAHugeLimit)
{
    // host_1 has no address; HOST_01 and HOST_+3 are no names "HOST_%d" gives.
    EXPECT_EQ(NamesOf(HostsFrom(Section("host_1", "") +
                  Sections({"HOST_2", "HOST_0", "HOST_01", "HOST_+3", "host_4"}))),
        "HOST_0 HOST_2 host_4 ");
    EXPECT_EQ(NamesOf(HostsFrom(
                  Sections({"HOST_0", "HOST_3999999999", "HOST_4000000000", "HOST_99999999999"}),
                  4000000000u)),
        "HOST_0 HOST_3999999999 ");
}

TEST(LoadHostListTest, AFilterKeepsTheAcceptedHostsInTheirOrder)
{
    const std::string text = Section("HOST_2", "198.51.100.3") + Section("HOST_0") +
        Section("HOST_1", "") + Section("HOST_3", "198.51.100.1");
    HostList hosts;
    LoadHostList(IniDocument::Parse(text), 100, hosts,
        [](const HostNameAndAddress& host) { return host.hostName != "HOST_2"; });
    // HOST_1 has no address and is never a host; the filter sees the rest.
    EXPECT_EQ(NamesOf(hosts), "HOST_0 HOST_3 ");

    // The filter sees the name and address as the record holds them, cut to
    // their fields, and the kept record has all five fields.
    const std::string longName(200, 'n');
    const std::string longIp = "198.51.100.7" + std::string(40, ' ') + "x";
    const std::string cut = "[HOST_0]\nHOST_NAME=" + longName + "\nCOMMENT=c\nIP_ADDR=" + longIp +
        "\nNET_MASK=255.255.255.0\nMAC_ADDR=02:00:00:00:00:07\n";
    std::vector<std::size_t> seen;
    LoadHostList(IniDocument::Parse(cut), 100, hosts, [&seen](const HostNameAndAddress& host) {
        seen = {host.hostName.size(), host.ipAddr.size()};
        return true;
    });
    EXPECT_EQ(seen, (std::vector<std::size_t>{127, 31}));
    ASSERT_EQ(hosts.Count(), 1);
    const tHostInfo whole =
        MakeHostInfo(longName, "c", longIp, "255.255.255.0", "02:00:00:00:00:07");
    EXPECT_EQ(std::memcmp(&hosts[0], &whole, sizeof(tHostInfo)), 0);
}

TEST(LoadHostListTest, ALongListReadByManyThreadsEqualsTheOneByOneReading)
{
    // Enough hosts for several reading threads, written in reverse, with
    // hosts without an address and fields longer than theirs in every
    // block. Reading with a filter that keeps all goes host by host.
    std::string text;
    for (int row = 40000; row >= 0; --row) {
        const std::string n = std::to_string(row);
        const std::string name = row % 11 == 0 ? std::string(300, 'x') + n : "host-" + n;
        const std::string ip = row % 7 == 0 ? "" : "198.51.100." + std::to_string(row % 250);
        text += "[HOST_" + n + "]\nHOST_NAME=" + name + "\nCOMMENT=desk " + n + "\nIP_ADDR=" + ip +
            "\nNET_MASK=255.255.255.0\nMAC_ADDR=02:00:00:00:00:07\n";
    }
    const IniDocument document = IniDocument::Parse(text);
    HostList together;
    LoadHostList(document, 65535, together);
    HostList oneByOne;
    LoadHostList(document, 65535, oneByOne, [](const HostNameAndAddress&) { return true; });
    ASSERT_EQ(together.Count(), 40001 - 5715);
    ASSERT_EQ(together.Count(), oneByOne.Count());
    for (std::int32_t row = 0; row < together.Count(); ++row)
        ASSERT_EQ(std::memcmp(&together[row], &oneByOne[row], sizeof(tHostInfo)), 0) << row;
}

TEST(SaveSettingsTest, WindowGeometryRules)
{
    constexpr ScreenRect kFallback{0, 0, 400, 300};
    const struct {
        std::optional<ScreenRect> window, fallback;
        std::string_view keys; // WINDOW_X, _Y, _WIDTH and _HEIGHT as saved
    } cases[] = {
        {ScreenRect{100, 50, 700, 550}, kFallback, "100 50 600 500 "},
        {ScreenRect{-8, 0, 592, 500}, kFallback, "1 1 600 500 "},
        {ScreenRect{1800, 1000, 2400, 1500}, kFallback, "1320 580 600 500 "}, // pulled back
        {ScreenRect{1400, 600, 1930, 1090}, kFallback, "1400 600 530 490 "},  // 10 px tolerated
        {ScreenRect{100, 100, 110, 105}, kFallback, "100 100 400 300 "},      // collapsed
        {std::nullopt, kFallback, "5 6 7 8 "}, // minimised: the keys stay
        {ScreenRect{100, 50, 700, 550}, std::nullopt, "5 6 7 8 "},
    };
    for (const auto& c : cases) {
        IniDocument document = IniDocument::Parse(
            "[WINDOW]\nWINDOW_X=5\nWINDOW_Y=6\nWINDOW_WIDTH=7\nWINDOW_HEIGHT=8\n");
        SaveSettings(document, AppSettings{}, HostList{},
            {.window = c.window,
                .fallback = c.fallback,
                .virtualScreenWidth = 1920,
                .virtualScreenHeight = 1080});
        std::string keys;
        for (const auto key : {kWindowXKey, kWindowYKey, kWindowWidthKey, kWindowHeightKey})
            keys += document.GetString(kWindowSection, key, "-", 64) + ' ';
        EXPECT_EQ(keys, c.keys);
    }
}

TEST(SaveHostListTest, GapsCloseStaleSectionsGoAndTheLimitHolds)
{
    IniDocument document = IniDocument::Parse(Sections({"HOST_0", "HOST_2", "HOST_007", "host_8"}) +
        Section("HOST_5", "") + Section("HOST_6", "198.51.100.7", "MAC_ADR=x\n"));
    HostList hosts;
    LoadHostList(document, 100, hosts);
    ASSERT_EQ(hosts.Count(), 4);
    hosts.RemoveAt(3);
    SaveHostList(document, hosts, 100);
    // Rows 0-2 are rewritten; of the sections past them only the one with all
    // five keys, MAC_ADR included, and the one no row number names remain.
    EXPECT_EQ(document.SectionNames(), (Names{"HOST_0", "HOST_2", "HOST_007", "HOST_6", "HOST_1"}));
    EXPECT_EQ(NamesOf(HostsFrom(document.Serialize())), "HOST_0 HOST_2 HOST_6 HOST_6 ");

    // Sections at or past the limit are never looked at, even for a huge limit.
    const std::string three = Sections({"HOST_0", "HOST_1", "HOST_2"});
    document = IniDocument::Parse(three);
    LoadHostList(document, 2, hosts);
    EXPECT_EQ(NamesOf(hosts), "HOST_0 HOST_1 ");
    hosts.RemoveAt(1);
    SaveHostList(document, hosts, 2);
    EXPECT_EQ(document.SectionNames(), (Names{"HOST_0", "HOST_2"}));
    document =
        IniDocument::Parse(three + Section("HOST_3999999999", "") + Section("HOST_4000000000", ""));
    SaveHostList(document, hosts, 4000000000u);
    EXPECT_EQ(document.SectionNames(), (Names{"HOST_0", "HOST_4000000000"}));
}

TEST(SaveHostListTest, ADuplicateSectionCannotBringBackAHostAfterItsNameIsFreed)
{
    // A second [HOST_1] from a hand edit hides behind the first.
    IniDocument document = IniDocument::Parse(Sections({"HOST_0", "HOST_1"}) +
        "[HOST_1]\nHOST_NAME=old\n"
        "COMMENT=c\nIP_ADDR=198.51.100.9\n");
    HostList hosts;
    LoadHostList(document, 100, hosts);
    ASSERT_EQ(NamesOf(hosts), "HOST_0 HOST_1 ");
    hosts.RemoveAt(1);
    SaveHostList(document, hosts, 100);
    EXPECT_EQ(NamesOf(HostsFrom(document.Serialize())), "HOST_0 ");

    // A complete stale section behind an incomplete one is the one that stays.
    document = IniDocument::Parse(Section("HOST_0") + Section("HOST_1", "") +
        Section("HOST_1", "198.51.100.9", "MAC_ADR=x\n"));
    LoadHostList(document, 100, hosts);
    hosts.RemoveAll();
    hosts.Append(MakeHostInfo("only", "", "198.51.100.1", "", ""));
    SaveHostList(document, hosts, 100);
    EXPECT_EQ(NamesOf(HostsFrom(document.Serialize())), "only HOST_1 ");
}

// INTERFACE, SECURE_ON and GROUP belong to the host: written for a host that
// has them, over a key its section already holds, and nowhere else.
TEST(SaveHostListTest, WakeOptionsAndGroupFollowTheirHost)
{
    const std::string plain = Section("HOST_0");
    struct Case {
        const char* what;
        std::string file;
        std::string interfaceName;
        std::string secureOn;
        std::string group;
        std::string section; // HOST_0 as saved
    };
    const std::vector<Case> cases{
        {"a host without them is written as before", plain, "", "", "", plain},
        {"all are added after the five keys", plain, "eth0", "01:02:03:04:05:06", "rack 3",
            plain + "INTERFACE=eth0\nSECURE_ON=01:02:03:04:05:06\nGROUP=rack 3\n"},
        {"a cleared one is emptied, not left behind",
            Section("HOST_0", "198.51.100.1",
                "INTERFACE=eth1\nSECURE_ON=AA:BB:CC:DD:EE:FF\nGROUP=lab\n"),
            "", "AA:BB:CC:DD:EE:FF", "",
            plain + "INTERFACE=\nSECURE_ON=AA:BB:CC:DD:EE:FF\nGROUP=\n"},
        {"a changed one keeps its line", Section("HOST_0", "198.51.100.1", "interface=eth1\n"),
            "enp3s0", "", "", plain + "interface=enp3s0\n"},
        {"a group is cut to 31 bytes", plain, "", "", std::string(40, 'g'),
            plain + "GROUP=" + std::string(31, 'g') + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IniDocument document = IniDocument::Parse(c.file);
        HostList hosts;
        LoadHostList(document, 100, hosts);
        ASSERT_EQ(hosts.Count(), 1);
        SetField(hosts[0].interfaceName, c.interfaceName);
        SetField(hosts[0].secureOn, c.secureOn);
        SetField(hosts[0].group, c.group);
        SaveHostList(document, hosts, 100);
        EXPECT_EQ(document.Serialize(), c.section);
        const HostList loaded = HostsFrom(document.Serialize());
        ASSERT_EQ(loaded.Count(), 1);
        EXPECT_EQ(FieldText(loaded[0].interfaceName), c.interfaceName);
        EXPECT_EQ(FieldText(loaded[0].secureOn), c.secureOn);
        EXPECT_EQ(FieldText(loaded[0].group), c.group.substr(0, 31));
    }

    // A removed row hands its section to the next host, which has none.
    IniDocument document = IniDocument::Parse(
        Section("HOST_0", "198.51.100.1", "INTERFACE=eth0\n") + Section("HOST_1"));
    HostList hosts;
    LoadHostList(document, 100, hosts);
    EXPECT_STREQ(hosts[0].interfaceName, "eth0");
    hosts.RemoveAt(0);
    SaveHostList(document, hosts, 100);
    EXPECT_STREQ(HostsFrom(document.Serialize())[0].interfaceName, "");
}

TEST(SaveSettingsTest, TextsWithOuterBlanksOrQuotesComeBackUnchanged)
{
    // Reading trims blanks and drops one pair of quotes: such texts are
    // written in one more pair, every other text as it is.
    AppSettings settings;
    SetDefaultSettings(settings);
    settings.shutdownCommand = "\"/opt/my tool\" -h \"%s\"";
    settings.collectHostAddrStart = " 192.0.2.1";
    HostList hosts;
    hosts.Append(
        MakeHostInfo("'single'", " padded\t", "198.51.100.1", "\"", "plain \"inner\" text"));
    hosts.Append(MakeHostInfo("cut\rhere", "", "198.51.100.2", "", ""));
    IniDocument document = IniDocument::Parse("");
    SaveSettings(document, settings, hosts, WindowState{});
    const std::string text = document.Serialize();
    EXPECT_NE(text.find("SHUTDOWN_COMMAND=\"\"/opt/my tool\" -h \"%s\"\"\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("NET_MASK=\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("MAC_ADDR=plain \"inner\" text\n"), std::string::npos) << text;
    EXPECT_NE(text.find("IP_ADDR=198.51.100.1\n"), std::string::npos) << text;

    EXPECT_EQ(LoadedFrom(text), settings);
    const HostList loaded = HostsFrom(text);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_STREQ(loaded[0].hostName, "'single'");
    EXPECT_STREQ(loaded[0].comment, " padded\t");
    EXPECT_STREQ(loaded[0].netMask, "\"");
    EXPECT_STREQ(loaded[0].macAddr, "plain \"inner\" text");
    EXPECT_STREQ(loaded[1].hostName, "cut") << "a line break ends the value";
}

// Garbage, NUL bytes and huge lines are HostileSettingsTest's; a number's
// text is cut to its buffer before it converts.
TEST(SettingsFileTest, ANumberIsCutToItsBufferBeforeItConverts)
{
    const AppSettings settings =
        LoadedFrom("[SETTING]\nICMP_TIME_OUT=" + std::string(1 << 20, '\v') + "77\n");
    EXPECT_EQ(settings.icmpTimeOut, 30u);
}

TEST(SettingsFileTest, SavingRereadsTheFileKeepsForeignLinesAndNeverWritesUnread)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    const SettingsFile missing = SettingsFile::Open(file);
    EXPECT_EQ(missing.LoadStatus().Error().code, ENOENT);
    EXPECT_FALSE(missing.Document().HasSection(kSettingSection));
    EXPECT_FALSE(std::filesystem::exists(file)) << "opening never writes";

    WriteTextFile(file, "; note\r\n[SETTING]\r\nPORT_NO=9\r\nUSER_KEY=1\r\n");
    AppSettings settings;
    settings.portNo = kUintMax;
    settings.activeMarkText = "  # ";
    settings.activeMarkBackColor = MakeColor(1, 2, 3);
    HostList hosts;
    hosts.Append(
        MakeHostInfo("a", "comment", "198.51.100.7", "255.255.255.0", "00:11:22:33:44:55"));
    WindowState window;
    window.firstSelectedRow = 1;
    window.columnWidths = {1, 2, 3, 4, 5, 6};
    window.vendorColumnWidth = 7;
    window.groupColumnWidth = 8;
    ASSERT_TRUE(SaveSettings(file, settings, hosts, window));
    EXPECT_EQ(
        ReadIntSetting(SettingsFile::Open(file).Document(), kSettingSection, kDefaultHostKey), 1);
    ASSERT_TRUE(SaveDefaultHost(file, 0));

    const std::string text = ReadTextFile(file);
    EXPECT_TRUE(text.starts_with("; note\r\n[SETTING]\r\nPORT_NO=4294967295\r\nUSER_KEY=1\r\n"))
        << text;
    EXPECT_EQ(ReadIntSetting(IniDocument::Parse(text), kSettingSection, kDefaultHostKey), 0);
    const AppSettings loaded = LoadedFrom(text);
    EXPECT_EQ(loaded.activeMarkText, "  # ");
    EXPECT_EQ(loaded.activeMarkBackColor, MakeColor(1, 2, 3));
    EXPECT_EQ(loaded.columnWidths, window.columnWidths);
    EXPECT_EQ(loaded.vendorColumnWidth, 7);
    EXPECT_EQ(loaded.groupColumnWidth, 8);
    const HostList back = HostsFrom(text);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(std::memcmp(&back[0], &hosts[0], sizeof(tHostInfo)), 0);

    // A first save makes the missing folders; a file in a folder's place is
    // reported.
    const auto fresh = folder / "config" / "pondel" / "pondel.ini";
    ASSERT_TRUE(SaveDefaultHost(fresh, 1));
    EXPECT_EQ(
        ReadIntSetting(SettingsFile::Open(fresh).Document(), kSettingSection, kDefaultHostKey), 1);
    WriteTextFile(folder / "plain", "x");
    const Result<void> blocked = SaveDefaultHost(folder / "plain" / "pondel" / "pondel.ini", 1);
    ASSERT_FALSE(blocked);
    EXPECT_NE(blocked.Error().message.find((folder / "plain").string()), std::string::npos)
        << blocked.Error().message;
}

} // namespace
} // namespace pondel
