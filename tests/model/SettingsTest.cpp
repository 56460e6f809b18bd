#include "model/Settings.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "model/SettingsValues.h"

namespace pondel {
namespace {

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

std::string Section(std::string_view name, std::string_view ip, std::string_view extra = "")
{
    return "[" + std::string(name) + "]\nHOST_NAME=" + std::string(name) +
        "\nCOMMENT=c\nIP_ADDR=" + std::string(ip) +
        "\nNET_MASK=255.255.255.0\nMAC_ADDR=00:11:22:33:44:55\n" + std::string(extra);
}

std::string NamesOf(const HostList& hosts)
{
    std::string names;
    for (const tHostInfo& host : hosts)
        names += std::string(host.hostName) + ' ';
    return names;
}

tHostInfo Host(std::string_view name)
{
    return MakeHostInfo(name, "comment", "198.51.100.7", "255.255.255.0", "00:11:22:33:44:55");
}

TEST(SettingsValuesTest, AtoiReadsLeadingDigitsAndPinsOverflow)
{
    EXPECT_EQ(AtoiValue("12abc"), 12);
    EXPECT_EQ(AtoiValue("abc"), 0);
    EXPECT_EQ(AtoiValue(""), 0);
    EXPECT_EQ(AtoiValue(" \t-5"), -5);
    EXPECT_EQ(AtoiValue("+7"), 7);
    EXPECT_EQ(AtoiValue("- 7"), 0);
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(AtoiValue("2147483647"), kMax);
    EXPECT_EQ(AtoiValue("2147483648"), kMax);
    EXPECT_EQ(AtoiValue("-2147483648"), kMin);
    EXPECT_EQ(AtoiValue("-2147483649"), kMin);
    EXPECT_EQ(AtoiValue("99999999999999999999999999999999"), kMax);
    EXPECT_EQ(AtoiValue("-99999999999999999999999999999999"), kMin);
}

TEST(SettingsValuesTest, UnsignedReadsKeepEveryUnsignedTextAndWrapNegativesLikeAtoi)
{
    EXPECT_EQ(AtoiUnsignedValue("-1"), 4294967295u);
    EXPECT_EQ(AtoiUnsignedValue("-2147483648"), 2147483648u);
    EXPECT_EQ(AtoiUnsignedValue("-99999999999"), 2147483648u);
    EXPECT_EQ(AtoiUnsignedValue("3000000000"), 3000000000u);
    EXPECT_EQ(AtoiUnsignedValue("4294967295"), 4294967295u);
    EXPECT_EQ(AtoiUnsignedValue("4294967296"), 4294967295u);
    EXPECT_EQ(AtoiUnsignedValue("99999999999999999999999999999999"), 4294967295u);
    EXPECT_EQ(AtoiUnsignedValue("x1"), 0u);
}

TEST(SettingsValuesTest, ColoursParseLikeSscanfOfThreeHexPairs)
{
    EXPECT_EQ(ParseColor("#ff0000"), MakeColor(255, 0, 0));
    EXPECT_EQ(ParseColor("#FF000"), MakeColor(255, 0, 0)) << "the last pair may have one digit";
    EXPECT_EQ(ParseColor("#12345678"), MakeColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ParseColor("#1 2 3"), MakeColor(1, 2, 3));
    EXPECT_FALSE(ParseColor("#FF00"));
    EXPECT_FALSE(ParseColor("FF0000"));
    EXPECT_FALSE(ParseColor("#GG0000"));
    EXPECT_EQ(FormatColor(MakeColor(0, 0xAB, 0xFF)), "#00ABFF");
}

TEST(LoadSettingsTest, AnEmptyFileGivesTheDefaultsButTheMarkTextLosesItsTrailingBlank)
{
    const AppSettings settings = LoadedFrom("");
    EXPECT_EQ(settings.portNo, 7u);
    EXPECT_EQ(settings.maxHostNum, 100u);
    EXPECT_EQ(settings.activeImgMaskColor, MakeColor(0, 0, 255));
    EXPECT_EQ(settings.activeMarkBackColor, MakeColor(0, 255, 0));
    EXPECT_EQ(settings.activeMarkText, " *");
    EXPECT_EQ(settings.collectHostAddrStart, "");
    EXPECT_EQ(settings.columnWidths, ColumnWidths{});
}

TEST(LoadSettingsTest, NumbersFollowTheirKeysReadRule)
{
    const AppSettings settings = LoadedFrom(
        "[SETTING]\nPORT_NO=0\nICMP_TIME_OUT=0\nCOLLECT_HOST_ICMP_TIME_OUT=45ms\nMAX_HOST_NUM=abc\n"
        "LIST_ROW_HEIGHT=-1\nAUTO_REFRESH=5\nENABLE_REMOTE_SHUTDOWN=-3\nINIT_REFRESH=0\n"
        "TIMER_INTERVAL=\nACTIVE_MARK_TYPE=7\nTASK_TRAY_ICON=yes\n");
    EXPECT_EQ(settings.portNo, 0u);
    EXPECT_EQ(settings.icmpTimeOut, 30u);
    EXPECT_EQ(settings.collectHostIcmpTimeOut, 45u);
    EXPECT_EQ(settings.maxHostNum, 100u);
    EXPECT_EQ(settings.listRowHeight, 4294967295u) << "a negative number reads as unsigned";
    EXPECT_EQ(settings.autoRefresh, 1u);
    EXPECT_EQ(settings.enableRemoteShutdown, 1u);
    EXPECT_EQ(settings.initRefresh, 0u);
    EXPECT_EQ(settings.timerInterval, 60u) << "an empty value keeps the current one";
    EXPECT_EQ(settings.activeMarkType, 1u);
    EXPECT_EQ(settings.taskTrayIcon, 0u);
    EXPECT_EQ(LoadedFrom("[SETTING]\nMAX_HOST_NUM=99999999999999999999\n").maxHostNum, 4294967295u);
}

TEST(LoadSettingsTest, ColoursTextsAndColumnWidths)
{
    const AppSettings settings = LoadedFrom(
        "[setting]\nACTIVE_IMG_MASK_COLOR=#ff0000\nACTIVE_MARK_TEXT_COLOR=#FF000\n"
        "ACTIVE_MARK_BACK_COLOR=#FF00\nCOLLECT_HOST_ADDR_START= 198.51.100.1 \nACTIVE_MARK_TEXT=\" "
        " ok  \"\n"
        "[WINDOW]\nITEM_WIDTH_BOOT=20\nITEM_WIDTH_HOST_NAME=\nITEM_WIDTH_MAC_ADDR=-5px\n");
    EXPECT_EQ(settings.activeImgMaskColor, MakeColor(255, 0, 0));
    EXPECT_EQ(settings.activeMarkTextColor, MakeColor(255, 0, 0));
    EXPECT_EQ(settings.activeMarkBackColor, MakeColor(0, 255, 0));
    EXPECT_EQ(settings.collectHostAddrStart, "198.51.100.1");
    EXPECT_EQ(settings.activeMarkText, "  ok  ");
    EXPECT_EQ(settings.columnWidths, (ColumnWidths{20, 0, 0, 0, 0, -5}));
    EXPECT_EQ(LoadedFrom("[SETTING]\nACTIVE_MARK_TEXT=\n").activeMarkText, " * ");
    EXPECT_EQ(LoadedFrom("[SETTING]\nACTIVE_MARK_TEXT=\"\"\n").activeMarkText, " * ");
}

TEST(LoadHostListTest, SectionsLoadInNumberOrderWithoutGaps)
{
    const HostList hosts =
        HostsFrom(Section("HOST_2", "198.51.100.3") + Section("HOST_0", "198.51.100.1") +
            Section("host_1", "") + Section("HOST_01", "198.51.100.9") +
            Section("HOST_+3", "198.51.100.9") + Section("HOST_4", "198.51.100.5"));
    EXPECT_EQ(NamesOf(hosts), "HOST_0 HOST_2 HOST_4 ");
    EXPECT_EQ(NamesOf(HostsFrom(Section("host_5", "198.51.100.1"))), "host_5 ")
        << "names match without case";
}

TEST(LoadHostListTest, OnlyNumbersBelowTheLimitLoadEvenForAHugeLimit)
{
    const std::string text = Section("HOST_0", "198.51.100.1") + Section("HOST_1", "198.51.100.2") +
        Section("HOST_2", "198.51.100.3") + Section("HOST_3999999999", "198.51.100.4") +
        Section("HOST_4000000000", "198.51.100.5") + Section("HOST_99999999999", "198.51.100.6");
    EXPECT_EQ(NamesOf(HostsFrom(text, 2)), "HOST_0 HOST_1 ");
    EXPECT_EQ(NamesOf(HostsFrom(text, 4000000000u)), "HOST_0 HOST_1 HOST_2 HOST_3999999999 ");
}

TEST(LoadHostListTest, LongValuesAreCutToTheirFields)
{
    const HostList hosts = HostsFrom("[HOST_0]\nHOST_NAME=" + std::string(300, 'n') +
        "\nIP_ADDR=" + std::string(40, '1') + "\n");
    ASSERT_EQ(hosts.Count(), 1);
    EXPECT_EQ(std::string(hosts[0].hostName), std::string(127, 'n'));
    EXPECT_EQ(std::string(hosts[0].ipAddr), std::string(31, '1'));
    EXPECT_EQ(hosts[0].comment[0], '\0');
}

TEST(SaveSettingsTest, WritesEveryOptionInOrderWithItsFormat)
{
    AppSettings settings;
    settings.autoRefresh = 5;
    settings.activeMarkType = 3;
    settings.collectHostNetMask = "255.255.0.0";
    IniDocument document = IniDocument::Parse("");
    SaveSettings(document, settings, HostList{}, WindowState{});
    EXPECT_EQ(document.Serialize(),
        "[SETTING]\nPORT_NO=7\nICMP_TIME_OUT=30\nCOLLECT_HOST_ICMP_TIME_OUT=30\nCOLLECT_HOST_ADDR_"
        "START=\n"
        "COLLECT_HOST_ADDR_END=\nCOLLECT_HOST_NET_MASK=255.255.0.0\nMAX_HOST_NUM=100\nLIST_ROW_"
        "HEIGHT=20\n"
        "AUTO_REFRESH=1\nENABLE_REMOTE_SHUTDOWN=0\nTIMER_INTERVAL=60\nINIT_REFRESH=1\nNO_EXTERNAL_"
        "COMMAND=0\n"
        "CHECK_NETWORK_SEGMENT=0\nACTIVE_MARK_TYPE=3\nACTIVE_IMG_MASK_COLOR=#0000FF\n"
        "ACTIVE_MARK_TEXT_COLOR=#000000\nACTIVE_MARK_BACK_COLOR=#00FF00\nACTIVE_MARK_TEXT=\" * \"\n"
        "NON_BROADCAST_DFLT=0\nTASK_TRAY_ICON=0\nDEFAULT_HOST=-1\n"
        "[WINDOW]\nITEM_WIDTH_BOOT=0\nITEM_WIDTH_HOST_NAME=0\nITEM_WIDTH_COMMENT=0\nITEM_WIDTH_IP_"
        "ADDR=0\n"
        "ITEM_WIDTH_NET_MASK=0\nITEM_WIDTH_MAC_ADDR=0\n");
}

TEST(SaveSettingsTest, OptionsAndHostsSurviveARoundTrip)
{
    AppSettings settings;
    settings.portNo = 4294967295u;
    settings.collectHostAddrStart = "198.51.100.1";
    settings.activeMarkText = "  # ";
    settings.activeMarkBackColor = MakeColor(1, 2, 3);
    HostList hosts;
    hosts.Append(Host("a"));
    hosts.Append(MakeHostInfo("", "", "198.51.100.9", "", ""));
    WindowState window;
    window.columnWidths = {1, 2, 3, 4, 5, 6};

    IniDocument document = IniDocument::Parse("; mine\n");
    SaveSettings(document, settings, hosts, window);
    const AppSettings loaded = LoadedFrom(document.Serialize());
    EXPECT_EQ(loaded.portNo, 4294967295u);
    EXPECT_EQ(loaded.collectHostAddrStart, "198.51.100.1");
    EXPECT_EQ(loaded.activeMarkText, "  # ");
    EXPECT_EQ(loaded.activeMarkBackColor, MakeColor(1, 2, 3));
    EXPECT_EQ(loaded.columnWidths, window.columnWidths);
    const HostList back = HostsFrom(document.Serialize());
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(std::memcmp(&back[0], &hosts[0], sizeof(tHostInfo)), 0);
    EXPECT_STREQ(back[1].ipAddr, "198.51.100.9");
    EXPECT_TRUE(document.Serialize().starts_with("; mine\n"));
}

std::string WindowKeysAfterSaving(const WindowState& window, std::string_view before = "")
{
    IniDocument document = IniDocument::Parse(before);
    SaveSettings(document, AppSettings{}, HostList{}, window);
    std::string keys;
    for (const auto key : {kWindowXKey, kWindowYKey, kWindowWidthKey, kWindowHeightKey})
        keys += document.GetString(kWindowSection, key, "-", 64) + ' ';
    return keys;
}

TEST(SaveSettingsTest, WindowGeometryRules)
{
    WindowState window;
    window.fallback = ScreenRect{0, 0, 400, 300};
    window.virtualScreenWidth = 1920;
    window.virtualScreenHeight = 1080;

    window.window = ScreenRect{100, 50, 700, 550};
    EXPECT_EQ(WindowKeysAfterSaving(window), "100 50 600 500 ");
    window.window = ScreenRect{-8, 0, 592, 500};
    EXPECT_EQ(WindowKeysAfterSaving(window), "1 1 600 500 ");
    window.window = ScreenRect{1800, 1000, 2400, 1500};
    EXPECT_EQ(WindowKeysAfterSaving(window), "1320 580 600 500 ") << "pulled back onto the screen";
    window.window = ScreenRect{1400, 600, 1930, 1090};
    EXPECT_EQ(WindowKeysAfterSaving(window), "1400 600 530 490 ")
        << "10 pixels beyond are tolerated";
    window.window = ScreenRect{100, 100, 110, 105};
    EXPECT_EQ(WindowKeysAfterSaving(window), "100 100 400 300 ")
        << "a collapsed size takes the fallback";

    const std::string before =
        "[WINDOW]\nWINDOW_X=5\nWINDOW_Y=6\nWINDOW_WIDTH=7\nWINDOW_HEIGHT=8\n";
    window.window.reset();
    EXPECT_EQ(WindowKeysAfterSaving(window, before), "5 6 7 8 ") << "minimised";
    window.window = ScreenRect{100, 50, 700, 550};
    window.fallback.reset();
    EXPECT_EQ(WindowKeysAfterSaving(window, before), "5 6 7 8 ");
}

TEST(SaveHostListTest, GapsCloseAndStaleSectionsGo)
{
    const std::string text = Section("HOST_0", "198.51.100.1") + Section("HOST_2", "198.51.100.3") +
        Section("HOST_5", "") + Section("HOST_6", "198.51.100.7", "MAC_ADR=x\n") +
        Section("HOST_007", "198.51.100.8") + Section("host_8", "198.51.100.9");
    IniDocument document = IniDocument::Parse(text);
    HostList hosts;
    LoadHostList(document, 100, hosts);
    ASSERT_EQ(hosts.Count(), 4);
    hosts.RemoveAt(3);
    SaveHostList(document, hosts, 100);
    // Rows 0-2 are rewritten; of the sections past them only the one with all
    // five keys, MAC_ADR included, and the one no row number names remain.
    EXPECT_EQ(document.SectionNames(),
        (std::vector<std::string>{"HOST_0", "HOST_2", "HOST_6", "HOST_007", "HOST_1"}));
    EXPECT_EQ(NamesOf(HostsFrom(document.Serialize())), "HOST_0 HOST_2 HOST_6 HOST_6 ");
}

TEST(SaveHostListTest, SectionsAtOrPastTheLimitAreNeverLookedAt)
{
    const std::string text = Section("HOST_0", "198.51.100.1") + Section("HOST_1", "198.51.100.2") +
        Section("HOST_2", "198.51.100.3");
    IniDocument document = IniDocument::Parse(text);
    HostList hosts;
    LoadHostList(document, 2, hosts);
    hosts.RemoveAt(1);
    SaveHostList(document, hosts, 2);
    EXPECT_EQ(document.SectionNames(), (std::vector<std::string>{"HOST_0", "HOST_2"}));

    IniDocument huge =
        IniDocument::Parse(text + Section("HOST_3999999999", "") + Section("HOST_4000000000", ""));
    SaveHostList(huge, hosts, 4000000000u);
    EXPECT_EQ(huge.SectionNames(), (std::vector<std::string>{"HOST_0", "HOST_4000000000"}));
}

TEST(SettingsFileTest, GarbageBinaryAndHugeLinesLoadAsDefaultsPlusTheValidHosts)
{
    constexpr char kBinaryStart[] = "\x7f"
                                    "ELF\0\0\x01[SETTING\0]\nPORT_NO=\0"
                                    "9\n\xff\xfe[]]][[==\r\r\n=\n;\n";
    std::string binary(kBinaryStart, sizeof kBinaryStart - 1);
    binary += Section("HOST_0", "198.51.100.1") +
        "[SETTING]\nMAX_HOST_NUM=" + std::string(50 << 20, '9') +
        "\nICMP_TIME_OUT=" + std::string(1 << 20, '\v') + "77\n" +
        Section("HOST_1", std::string(1 << 20, '2'));
    AppSettings settings;
    SetDefaultSettings(settings);
    const IniDocument document = IniDocument::Parse(binary);
    LoadSettings(document, settings);
    EXPECT_EQ(settings.portNo, 7u);
    EXPECT_EQ(settings.maxHostNum, 4294967295u);
    EXPECT_EQ(settings.icmpTimeOut, 30u) << "the value is cut to its buffer before it converts";
    HostList hosts;
    LoadHostList(document, settings.maxHostNum, hosts);
    ASSERT_EQ(hosts.Count(), 2);
    EXPECT_STREQ(hosts[0].ipAddr, "198.51.100.1");
    EXPECT_EQ(std::string(hosts[1].ipAddr), std::string(31, '2'));
}

TEST(SettingsFileTest, OpeningReadsWithoutWritingAndAMissingFileIsEmpty)
{
    const TemporaryDirectory folder;
    const SettingsFile missing = SettingsFile::Open(folder / "Pondel.ini");
    EXPECT_EQ(missing.LoadStatus().errorNumber, ENOENT);
    EXPECT_FALSE(missing.Document().HasSection(kSettingSection));
    EXPECT_FALSE(std::filesystem::exists(folder / "Pondel.ini"));
}

TEST(SettingsFileTest, SavingRereadsTheFileAndKeepsForeignLines)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    WriteTextFile(
        file, "; user note\r\n[SETTING]\r\nPORT_NO=9\r\nUSER_KEY=1\r\n" + Section("HOST_3", ""));
    HostList hosts;
    hosts.Append(Host("a"));
    ASSERT_TRUE(SaveSettings(file, AppSettings{}, hosts, WindowState{}));
    ASSERT_TRUE(SaveDefaultHost(file, 0));

    const std::string text = ReadTextFile(file);
    EXPECT_TRUE(text.starts_with("; user note\r\n[SETTING]\r\nPORT_NO=7\r\nUSER_KEY=1\r\n"))
        << text;
    const SettingsFile reread = SettingsFile::Open(file);
    EXPECT_EQ(ReadIntSetting(reread.Document(), kSettingSection, kDefaultHostKey), 0);
    EXPECT_FALSE(ReadIntSetting(reread.Document(), kWindowSection, kWindowXKey));
    EXPECT_FALSE(reread.Document().HasSection("HOST_3"));
    EXPECT_EQ(NamesOf(HostsFrom(text)), "a ");
}

TEST(SettingsFileTest, AFileThatCannotBeReadLoadsAsDefaultsAndIsNotOverwritten)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    std::filesystem::create_directory(file);
    const SettingsFile opened = SettingsFile::Open(file);
    EXPECT_EQ(opened.LoadStatus().errorNumber, EISDIR);
    AppSettings settings;
    SetDefaultSettings(settings);
    LoadSettings(opened.Document(), settings);
    EXPECT_EQ(settings.maxHostNum, 100u);

    const IoStatus status = SaveSettings(file, settings, HostList{}, WindowState{});
    EXPECT_EQ(status.errorNumber, EISDIR);
    EXPECT_NE(status.message.find("Is a directory"), std::string::npos) << status.message;
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST(SettingsFileTest, AFailedSaveKeepsTheOldFile)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    WriteTextFile(file, "[SETTING]\nPORT_NO=9\n");
    SettingsFile opened = SettingsFile::Open(file);
    std::filesystem::remove(file);
    std::filesystem::create_directory(file); // replaced behind our back: the rename must fail
    opened.Document().SetString(kSettingSection, "PORT_NO", "1");
    EXPECT_EQ(opened.Save().errorNumber, EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    const std::filesystem::directory_iterator end;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), end), 1);

    const IoStatus missingFolder = SaveDefaultHost(folder / "absent" / "Pondel.ini", 1);
    EXPECT_EQ(missingFolder.errorNumber, ENOENT) << missingFolder.message;
}

} // namespace
} // namespace pondel
