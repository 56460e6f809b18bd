#include "AsciiText.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "CommandLine.h"
#include "RunCommand.h"
#include "WakeUpTarget.h"
#include "IniDocument.h"
#include "Settings.h"

namespace pondel {
namespace {

TEST(AsciiTextTest, OnlyTheAsciiLettersChangeCase)
{
    for (int value = 0; value < 256; ++value) {
        const char c = static_cast<char>(value);
        const bool upper = value >= 'A' && value <= 'Z';
        const bool lower = value >= 'a' && value <= 'z';
        EXPECT_EQ(ToLowerAscii(c), upper ? static_cast<char>(value + 32) : c) << value;
        EXPECT_EQ(ToUpperAscii(c), lower ? static_cast<char>(value - 32) : c) << value;
    }
    EXPECT_EQ(ToLowerAscii(std::string_view("Server-I \xC4\xB0")), "server-i \xC4\xB0");
    EXPECT_TRUE(EqualIgnoringAsciiCase("SERVER-I", "server-i"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("server-i", "server-i "));
    // '[' and '{' sit 32 apart like the letters but are different characters.
    EXPECT_FALSE(EqualIgnoringAsciiCase("[", "{"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xC4\xB0", "\xC4\xB1"));
}

TEST(AsciiTextTest, CutAtNulEndsTheTextAsACStringWould)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(CutAtNul("abc\0def"sv), "abc");
    EXPECT_EQ(CutAtNul("\0abc"sv), "");
    EXPECT_EQ(CutAtNul("abc"sv), "abc");
}

// Under a Turkish C locale the C library's tolower turns 'I' into a dotless
// i and toupper turns 'i' into a dotted I, so that neither is the other's
// case. A locale of our own is compiled when the system has none installed.
TEST(TurkishLocaleTest, SwitchesHostNamesAndIniNamesMatchInEitherCase)
{
    constexpr const char* kLocale = "tr_TR.UTF-8";
    const TemporaryDirectory folder;
    if (std::setlocale(LC_ALL, kLocale) == nullptr &&
        RunCommand({"localedef", "-i", "tr_TR", "-f", "UTF-8", (folder / kLocale).string()}) >= 0) {
        setenv("LOCPATH", folder.Path().c_str(), 1);
    }
    const bool turkish = std::setlocale(LC_ALL, kLocale) != nullptr;
    unsetenv("LOCPATH");
    if (!turkish)
        GTEST_SKIP() << "no tr_TR.UTF-8 locale, and localedef could not build one "
                        "(Debian's locales package holds its source)";
    // The locale must really break the C library's folding, or these checks
    // would prove nothing.
    ASSERT_NE(std::tolower('I'), 'i');
    ASSERT_NE(std::toupper('i'), 'I');

    const auto options = ParseCommandLine({"/c", "/i", "192.0.2.1", "-v"});
    EXPECT_TRUE(options.console && options.version && !options.unknownSwitch);
    EXPECT_EQ(options.ipAddr, "192.0.2.1");

    HostList hosts;
    hosts.Append(MakeHostInfo("SERVER-I", "", "192.0.2.10", "255.255.255.0", "00:11:22:33:44:55"));
    const LocalNetworkQueries local{[] { return 0u; }, [](std::uint32_t) { return 0u; }};
    const auto target =
        AssembleWakeUpTarget(ParseCommandLine({"/C", "/H", "server-i"}), hosts, local);
    EXPECT_EQ(target ? target->ipAddr : "none", "192.0.2.10");

    const IniDocument document = IniDocument::Parse(
        "[setting]\nmax_host_num=5\n[host_1]\nhost_name=pc-i\nip_addr=192.0.2.1\n");
    AppSettings settings;
    LoadSettings(document, settings);
    EXPECT_EQ(settings.maxHostNum, 5u);
    LoadHostList(document, settings.maxHostNum, hosts);
    EXPECT_EQ(hosts.Count() == 1 ? hosts[0].hostName : "none", std::string("pc-i"));
    std::setlocale(LC_ALL, "C");
}

} // namespace
} // namespace pondel
