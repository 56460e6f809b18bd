// Every key spelt out here, apart from the program's own tables, so that a
// misspelt key, a key read with the wrong rule or a lost size cap shows.
#include "Settings.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"

namespace pondel {
namespace {

constexpr auto kUintMax = std::numeric_limits<std::uint32_t>::max();

AppSettings LoadedFrom(const std::string& text)
{
    AppSettings settings;
    SetDefaultSettings(settings);
    LoadSettings(IniDocument::Parse(text), settings);
    return settings;
}

constexpr std::string_view kDefaultsFile = "[SETTING]\n"
                                           "PORT_NO=7\n"
                                           "ICMP_TIME_OUT=30\n"
                                           "COLLECT_HOST_ICMP_TIME_OUT=30\n"
                                           "COLLECT_HOST_ADDR_START=\n"
                                           "COLLECT_HOST_ADDR_END=\n"
                                           "COLLECT_HOST_NET_MASK=\n"
                                           "MAX_HOST_NUM=100\n"
                                           "LIST_ROW_HEIGHT=20\n"
                                           "AUTO_REFRESH=1\n"
                                           "ENABLE_REMOTE_SHUTDOWN=0\n"
                                           "TIMER_INTERVAL=60\n"
                                           "INIT_REFRESH=1\n"
                                           "NO_EXTERNAL_COMMAND=0\n"
                                           "CHECK_NETWORK_SEGMENT=0\n"
                                           "ACTIVE_MARK_TYPE=0\n"
                                           "ACTIVE_IMG_MASK_COLOR=#0000FF\n"
                                           "ACTIVE_MARK_TEXT_COLOR=#000000\n"
                                           "ACTIVE_MARK_BACK_COLOR=#00FF00\n"
                                           "ACTIVE_MARK_TEXT=\" * \"\n"
                                           "NON_BROADCAST_DFLT=0\n"
                                           "TASK_TRAY_ICON=0\n"
                                           "SHUTDOWN_COMMAND=net rpc shutdown -I %s -f -t 0\n"
                                           "PROBE_RATE=4000\n"
                                           "DEFAULT_HOST=-1\n"
                                           "[WINDOW]\n"
                                           "WINDOW_X=100\n"
                                           "WINDOW_Y=50\n"
                                           "WINDOW_WIDTH=600\n"
                                           "WINDOW_HEIGHT=400\n"
                                           "ITEM_WIDTH_BOOT=0\n"
                                           "ITEM_WIDTH_HOST_NAME=0\n"
                                           "ITEM_WIDTH_COMMENT=0\n"
                                           "ITEM_WIDTH_IP_ADDR=0\n"
                                           "ITEM_WIDTH_NET_MASK=0\n"
                                           "ITEM_WIDTH_MAC_ADDR=0\n"
                                           "[HOST_0]\n"
                                           "HOST_NAME=pc1\n"
                                           "COMMENT=desk\n"
                                           "IP_ADDR=192.0.2.10\n"
                                           "NET_MASK=255.255.255.0\n"
                                           "MAC_ADDR=00:11:22:33:44:55\n";

TEST(SettingsGoldenTest, DefaultsAreWrittenByteForByte)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    AppSettings defaults;
    SetDefaultSettings(defaults);
    HostList hosts;
    hosts.Append(MakeHostInfo("pc1", "desk", "192.0.2.10", "255.255.255.0", "00:11:22:33:44:55"));
    const WindowState window{ScreenRect{100, 50, 700, 450}, ScreenRect{0, 0, 640, 480}, 1920, 1080};
    ASSERT_TRUE(SaveSettings(file, defaults, hosts, window));
    EXPECT_EQ(ReadTextFile(file), kDefaultsFile);
}

TEST(SettingsGoldenTest, EveryKeyIsReadIntoItsOwnField)
{
    const std::string file = "[SETTING]\r\n"
                             "PORT_NO=9\r\n"
                             "ICMP_TIME_OUT=250\r\n"
                             "COLLECT_HOST_ICMP_TIME_OUT=40\r\n"
                             "COLLECT_HOST_ADDR_START=192.0.2.1\r\n"
                             "COLLECT_HOST_ADDR_END=192.0.2.254\r\n"
                             "COLLECT_HOST_NET_MASK=255.255.255.0\r\n"
                             "MAX_HOST_NUM=500\r\n"
                             "LIST_ROW_HEIGHT=24\r\n"
                             "AUTO_REFRESH=0\r\n"
                             "ENABLE_REMOTE_SHUTDOWN=1\r\n"
                             "TIMER_INTERVAL=120\r\n"
                             "INIT_REFRESH=0\r\n"
                             "NO_EXTERNAL_COMMAND=1\r\n"
                             "CHECK_NETWORK_SEGMENT=1\r\n"
                             "ACTIVE_MARK_TYPE=1\r\n"
                             "ACTIVE_IMG_MASK_COLOR=#102030\r\n"
                             "ACTIVE_MARK_TEXT_COLOR=#405060\r\n"
                             "ACTIVE_MARK_BACK_COLOR=#708090\r\n"
                             "ACTIVE_MARK_TEXT=\" on \"\r\n"
                             "NON_BROADCAST_DFLT=1\r\n"
                             "TASK_TRAY_ICON=1\r\n"
                             "SHUTDOWN_COMMAND=/usr/local/bin/off --host %s\r\n"
                             "PROBE_RATE=0\r\n"
                             "DEFAULT_HOST=3\r\n"
                             "[WINDOW]\r\n"
                             "WINDOW_X=-1200\r\n"
                             "WINDOW_Y=33\r\n"
                             "WINDOW_WIDTH=800\r\n"
                             "WINDOW_HEIGHT=612\r\n"
                             "ITEM_WIDTH_BOOT=11\r\n"
                             "ITEM_WIDTH_HOST_NAME=12\r\n"
                             "ITEM_WIDTH_COMMENT=13\r\n"
                             "ITEM_WIDTH_IP_ADDR=14\r\n"
                             "ITEM_WIDTH_NET_MASK=15\r\n"
                             "ITEM_WIDTH_MAC_ADDR=-16\r\n"
                             "[HOST_0]\r\n"
                             "HOST_NAME=server\r\n"
                             "COMMENT=rack 2\r\n"
                             "IP_ADDR=198.51.100.7\r\n"
                             "NET_MASK=255.255.0.0\r\n"
                             "MAC_ADDR=AA-BB-CC-DD-EE-FF\r\n"
                             "INTERFACE=eth1\r\n"
                             "SECURE_ON=01-02-03-04-05-06\r\n";
    const IniDocument document = IniDocument::Parse(file);
    const AppSettings s = LoadedFrom(file);
    using Numbers = std::vector<std::uint32_t>;
    EXPECT_EQ((Numbers{s.portNo, s.icmpTimeOut, s.collectHostIcmpTimeOut, s.maxHostNum,
                  s.listRowHeight, s.autoRefresh, s.enableRemoteShutdown, s.timerInterval,
                  s.initRefresh, s.noExternalCommand, s.checkNetworkSegment, s.activeMarkType,
                  s.nonBroadcastDflt, s.taskTrayIcon, s.probeRate}),
        (Numbers{9, 250, 40, 500, 24, 0, 1, 120, 0, 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ((std::vector<std::string>{s.collectHostAddrStart, s.collectHostAddrEnd,
                  s.collectHostNetMask, s.activeMarkText, s.shutdownCommand}),
        (std::vector<std::string>{
            "192.0.2.1", "192.0.2.254", "255.255.255.0", " on ", "/usr/local/bin/off --host %s"}));
    EXPECT_EQ((Numbers{s.activeImgMaskColor, s.activeMarkTextColor, s.activeMarkBackColor}),
        (Numbers{MakeColor(0x10, 0x20, 0x30), MakeColor(0x40, 0x50, 0x60),
            MakeColor(0x70, 0x80, 0x90)}));
    EXPECT_EQ(s.columnWidths, (ColumnWidths{11, 12, 13, 14, 15, -16}));
    std::vector<std::optional<std::int32_t>> ints;
    for (const auto key : {kWindowXKey, kWindowYKey, kWindowWidthKey, kWindowHeightKey})
        ints.push_back(ReadIntSetting(document, kWindowSection, key));
    ints.push_back(ReadIntSetting(document, kSettingSection, kDefaultHostKey));
    EXPECT_EQ(ints, (std::vector<std::optional<std::int32_t>>{-1200, 33, 800, 612, 3}));

    HostList hosts;
    LoadHostList(document, s.maxHostNum, hosts);
    ASSERT_EQ(hosts.Count(), 1);
    tHostInfo expected =
        MakeHostInfo("server", "rack 2", "198.51.100.7", "255.255.0.0", "AA-BB-CC-DD-EE-FF");
    SetField(expected.interfaceName, "eth1");
    SetField(expected.secureOn, "01-02-03-04-05-06");
    EXPECT_EQ(std::memcmp(&hosts[0], &expected, sizeof expected), 0);
}

// Each key against {value, what the field holds after it}; std::nullopt
// stands for "the default stays", kMissing for no line at all.
struct RuleCase {
    std::string_view value;
    std::optional<std::uint32_t> expected;
};
using NumberField = std::uint32_t AppSettings::*;
struct NumberKey {
    std::string_view name;
    NumberField field;
};
constexpr std::string_view kMissing{};

void ExpectRule(const NumberKey& key, std::initializer_list<RuleCase> cases)
{
    for (const RuleCase& c : cases) {
        const std::string line = c.value.data() == nullptr
            ? std::string()
            : std::string(key.name) + "=" + std::string(c.value) + "\n";
        EXPECT_EQ(LoadedFrom("[SETTING]\n" + line).*key.field,
            c.expected.value_or(AppSettings{}.*key.field))
            << key.name << "=" << c.value;
    }
}

TEST(SettingsReadRuleTest, NumbersFlagsAndColours)
{
    for (const NumberKey& key :
        {NumberKey{"PORT_NO", &AppSettings::portNo}, {"PROBE_RATE", &AppSettings::probeRate}})
        ExpectRule(key,
            {{"0", 0}, {"12abc", 12}, {"-1", kUintMax}, {"x", 0}, {"", std::nullopt},
                {kMissing, std::nullopt}});
    // These keep their value for 0.
    for (const NumberKey& key :
        {NumberKey{"COLLECT_HOST_ICMP_TIME_OUT", &AppSettings::collectHostIcmpTimeOut},
            {"LIST_ROW_HEIGHT", &AppSettings::listRowHeight}})
        ExpectRule(key,
            {{"0", std::nullopt}, {"x", std::nullopt}, {"", std::nullopt}, {" 15s", 15},
                {"-1", kUintMax}, {"4294967296", kUintMax}, {kMissing, std::nullopt}});
    // These read anything outside the option dialog's range as the default;
    // the ranges' ends are BadInputTest.SettingsValues' rows.
    for (const NumberKey& key : {NumberKey{"ICMP_TIME_OUT", &AppSettings::icmpTimeOut},
             {"MAX_HOST_NUM", &AppSettings::maxHostNum},
             {"TIMER_INTERVAL", &AppSettings::timerInterval}})
        ExpectRule(key,
            {{"0", std::nullopt}, {"x", std::nullopt}, {"", std::nullopt}, {" 15s", 15},
                {"-1", std::nullopt}, {"4294967296", std::nullopt}, {kMissing, std::nullopt}});
    for (const NumberKey& key :
        {NumberKey{"ACTIVE_IMG_MASK_COLOR", &AppSettings::activeImgMaskColor},
            {"ACTIVE_MARK_TEXT_COLOR", &AppSettings::activeMarkTextColor},
            {"ACTIVE_MARK_BACK_COLOR", &AppSettings::activeMarkBackColor}})
        ExpectRule(key,
            {{"#ff0000", MakeColor(255, 0, 0)}, {"#FF000", MakeColor(255, 0, 0)},
                {"#010203xyz", MakeColor(1, 2, 3)}, {"#FF00", std::nullopt},
                {"FF0000", std::nullopt}, {"", std::nullopt}, {kMissing, std::nullopt}});

    // Flags and the mark type read as 0 or 1; held values other than 0 and 1
    // (the option dialog's, say) are written so for flags, as held for the type.
    const NumberKey flags[] = {{"ACTIVE_MARK_TYPE", &AppSettings::activeMarkType},
        {"AUTO_REFRESH", &AppSettings::autoRefresh},
        {"ENABLE_REMOTE_SHUTDOWN", &AppSettings::enableRemoteShutdown},
        {"INIT_REFRESH", &AppSettings::initRefresh},
        {"NO_EXTERNAL_COMMAND", &AppSettings::noExternalCommand},
        {"CHECK_NETWORK_SEGMENT", &AppSettings::checkNetworkSegment},
        {"NON_BROADCAST_DFLT", &AppSettings::nonBroadcastDflt},
        {"TASK_TRAY_ICON", &AppSettings::taskTrayIcon}};
    AppSettings odd;
    for (const NumberKey& key : flags) {
        ExpectRule(key,
            {{"5", 1}, {"0", 0}, {"no", 0}, {"-3", 1}, {"", std::nullopt},
                {kMissing, std::nullopt}});
        odd.*key.field = 5;
    }
    IniDocument document;
    SaveSettings(document, odd, HostList{}, WindowState{});
    for (const NumberKey& key : flags)
        EXPECT_EQ(document.Find(kSettingSection, key.name), key.field == flags[0].field ? "5" : "1")
            << key.name;
}

TEST(SettingsReadRuleTest, TextsAreTakenWhenNotEmpty)
{
    using TextField = std::string AppSettings::*;
    const std::pair<std::string, TextField> keys[] = {
        {"COLLECT_HOST_ADDR_START", &AppSettings::collectHostAddrStart},
        {"COLLECT_HOST_ADDR_END", &AppSettings::collectHostAddrEnd},
        {"COLLECT_HOST_NET_MASK", &AppSettings::collectHostNetMask},
        {"ACTIVE_MARK_TEXT", &AppSettings::activeMarkText},
        {"SHUTDOWN_COMMAND", &AppSettings::shutdownCommand}};
    for (const auto& [key, field] : keys) {
        EXPECT_EQ(LoadedFrom("[SETTING]\n" + key + "= a b \n").*field, "a b") << key;
        EXPECT_EQ(LoadedFrom("[SETTING]\n" + key + "=\" a \"\n").*field, " a ") << key;
        EXPECT_EQ(LoadedFrom("[SETTING]\n" + key + "=" + std::string(2000, 'x')).*field,
            std::string(1023, 'x'))
            << key;
        AppSettings current;
        current.*field = "kept";
        for (const char* empty : {"=\n", "=\"\"\n"}) {
            LoadSettings(IniDocument::Parse("[SETTING]\n" + key + empty), current);
            EXPECT_EQ(current.*field, "kept") << key;
        }
    }
    // A missing mark text takes " * " as a default, which loses its trailing blank.
    EXPECT_EQ(LoadedFrom("[SETTING]\n").activeMarkText, " *");
}

// The conversions themselves are SettingsValuesTest's.
TEST(SettingsReadRuleTest, SignedKeysReadAsAtoi)
{
    const std::string_view widthKeys[] = {"ITEM_WIDTH_BOOT", "ITEM_WIDTH_HOST_NAME",
        "ITEM_WIDTH_COMMENT", "ITEM_WIDTH_IP_ADDR", "ITEM_WIDTH_NET_MASK", "ITEM_WIDTH_MAC_ADDR"};
    for (std::size_t column = 0; column < std::size(widthKeys); ++column) {
        ColumnWidths widths{};
        widths[column] = -5;
        EXPECT_EQ(LoadedFrom("[WINDOW]\n" + std::string(widthKeys[column]) + "=-5px").columnWidths,
            widths)
            << widthKeys[column];
    }
    for (const auto& entry : {std::pair{kSettingSection, kDefaultHostKey},
             {kWindowSection, kWindowXKey}, {kWindowSection, kWindowYKey},
             {kWindowSection, kWindowWidthKey}, {kWindowSection, kWindowHeightKey}}) {
        // Named copies, as Clang 14 cannot capture structured bindings.
        const std::string_view section = entry.first;
        const std::string_view key = entry.second;
        const std::string head = "[" + std::string(section) + "]\n";
        const auto read = [&](std::string_view value) {
            return ReadIntSetting(
                IniDocument::Parse(head + std::string(key) + "=" + std::string(value)), section,
                key);
        };
        EXPECT_EQ(read("-8px"), -8) << key;
        EXPECT_EQ(read("x"), 0) << key;
        EXPECT_EQ(read(""), std::nullopt) << key;
        EXPECT_EQ(ReadIntSetting(IniDocument::Parse(head), section, key), std::nullopt) << key;
    }
}

TEST(SettingsFileSizeTest, AFileAboveTheCapIsRefusedUnreadAndNeverReplaced)
{
    const TemporaryDirectory folder;
    const auto file = folder / "Pondel.ini";
    // Sparse files: they take no disk space.
    const auto sized = [&file](std::uintmax_t size) {
        WriteTextFile(file, "");
        std::filesystem::resize_file(file, size);
    };
    sized(SettingsFile::kMaxFileSize + 1);
    const SettingsFile huge = SettingsFile::Open(file);
    EXPECT_EQ(huge.LoadStatus().Error().code, EFBIG) << huge.LoadStatus().Error().message;
    EXPECT_TRUE(huge.Document().SectionNames().empty());
    EXPECT_EQ(huge.Save().Error().code, EFBIG);
    EXPECT_EQ(std::filesystem::file_size(file), SettingsFile::kMaxFileSize + 1);
    // A large file below the cap is read.
    sized(16 << 20);
    EXPECT_TRUE(SettingsFile::Open(file).LoadStatus());
}

} // namespace
} // namespace pondel
