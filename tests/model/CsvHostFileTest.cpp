#include "CsvHostFile.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

HostList MakeList(std::initializer_list<tHostInfo> hosts)
{
    HostList list;
    for (const tHostInfo& host : hosts)
        list.Append(host);
    return list;
}

std::string Row(const tHostInfo& host)
{
    return std::string(host.hostName) + "|" + host.comment + "|" + host.ipAddr + "|" +
        host.netMask + "|" + host.macAddr + "|" + std::to_string(host.active);
}

TEST(CsvHostFileTest, ExportWritesTheHeaderAndQuotedLinesWithCrLf)
{
    tHostInfo active = MakeHostInfo("pc2", "", "10.0.0.2", "", "");
    active.active = 1;
    EXPECT_EQ(FormatCsvHostList(MakeList(
                  {MakeHostInfo("pc1", "desk, left", "10.0.0.1", "255.0.0.0", "00:11:22:33:44:55"),
                      active})),
        "HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR\r\n"
        "0,\"pc1\",\"desk, left\",\"10.0.0.1\",\"255.0.0.0\",\"00:11:22:33:44:55\"\r\n"
        "1,\"pc2\",\"\",\"10.0.0.2\",\"\",\"\"\r\n");
}

TEST(CsvHostFileTest, ExportThenImportGivesTheSameHostsQuotesAndCommasIncluded)
{
    const HostList original = MakeList({
        MakeHostInfo("say \"hi\"", "a, b, \"c\"", "10.0.0.1", "255.255.255.0", "00:11:22:33:44:55"),
        MakeHostInfo("\"", "\"\"", "10.0.0.2", "", ""),
        MakeHostInfo(std::string(125, 'n'), std::string(125, 'c'), "10.0.0.3", "", ""),
    });
    HostList imported = MakeList({MakeHostInfo("existing", "", "10.9.9.9", "", "")});
    const CsvImportResult result = ImportCsvHostList(FormatCsvHostList(original), imported, 100);
    EXPECT_EQ(result.added, 3);
    EXPECT_FALSE(result.reachedLimit);
    ASSERT_EQ(imported.Count(), 4);
    EXPECT_STREQ(imported[0].hostName, "existing");
    for (std::int32_t i = 0; i < original.Count(); ++i)
        EXPECT_EQ(Row(imported[i + 1]), Row(original[i]));
}

// The header, a negative row number, an empty or blank address, five fields,
// an unquoted empty MAC, bad MACs and a MAC cut to its field are
// BadInputTest.CsvLines' rows.
TEST(CsvHostFileTest, LineRules)
{
    const std::string n127(127, 'n');
    const std::pair<std::string, std::string> cases[] = {
        {"0,a,b,10.0.0.1,m,001122334455", "a|b|10.0.0.1|m|00:11:22:33:44:55|0"},
        {",a,b,10.0.0.1,m,001122334455",
            "a|b|10.0.0.1|m|00:11:22:33:44:55|0"}, // empty row number counts as 0
        {"  +7,a,b,10.0.0.1,m,001122334455",
            "a|b|10.0.0.1|m|00:11:22:33:44:55|0"},      // blanks and a sign
        {"12a,a,b,10.0.0.1,m,001122334455", ""},        // trailing text
        {"   ,a,b,10.0.0.1,m,001122334455", ""},        // blanks alone are no number
        {"0,a,b,10.0.0.1,m,\"\"", "a|b|10.0.0.1|m||0"}, // quoted empty MAC
        {"0,a,b,10.0.0.1,m,001122334455,extra", "a|b|10.0.0.1|m|00:11:22:33:44:55|0"},
        // Written before quotes were doubled: a quote inside only toggles.
        {"3,\"say \"hi\" now\",\"\",\"10.0.0.1\",\"\",\"\"", "say hi now||10.0.0.1|||0"},
        // A name must fit its field, quoted or not.
        {"0," + n127 + ",c,10.0.0.1,m,001122334455", n127 + "|c|10.0.0.1|m|00:11:22:33:44:55|0"},
        {"0,\"" + n127 + "\",c,10.0.0.1,m,001122334455",
            n127 + "|c|10.0.0.1|m|00:11:22:33:44:55|0"},
        {"0," + n127 + "n,c,10.0.0.1,m,001122334455", ""},
        {"0,n,c," + std::string(31, '1') + ",m,001122334455",
            "n|c|" + std::string(31, '1') + "|m|00:11:22:33:44:55|0"},
        {"0,n,c," + std::string(32, '1') + ",m,001122334455", ""},
    };
    for (const auto& [line, row] : cases) {
        const auto host = ParseCsvHostLine(line);
        EXPECT_EQ(host ? Row(*host) : "", row) << line;
    }
}

TEST(CsvHostFileTest, ImportSkipsBadLinesAnywhereAndAcceptsAByteOrderMark)
{
    HostList hosts;
    const CsvImportResult result =
        ImportCsvHostList("\xEF\xBB\xBF"
                          "0,a,,10.0.0.1,,\"\"\n"
                          "HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR\r\n"
                          "garbage\r\n\r\n1,b,,10.0.0.2,,\"\"",
            hosts, 100);
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.malformed, 1); // the garbage, not the header or the empty line
    ASSERT_EQ(hosts.Count(), 2);
    EXPECT_EQ(std::string(hosts[0].hostName) + hosts[1].hostName, "ab");
}

std::string ExtendedRow(const tHostInfo& host)
{
    return Row(host) + "|" + host.group + "|" + host.interfaceName + "|" + host.secureOn;
}

// The extended file carries group, interface and SecureOn password there and
// back; the plain file keeps its old form whatever the hosts hold.
TEST(CsvHostFileTest, ExtendedExportImportsWholeAndPlainExportIsUnchanged)
{
    tHostInfo lab =
        MakeHostInfo("say \"hi\"", "a, b", "10.0.0.1", "255.0.0.0", "00:11:22:33:44:55");
    SetField(lab.group, "rack \"3\", left");
    SetField(lab.interfaceName, "eth0");
    SetField(lab.secureOn, "01:02:03:04:05:06");
    tHostInfo longest = MakeHostInfo("n", "", "10.0.0.2", "", "");
    SetField(longest.group, std::string(31, 'g'));
    SetField(longest.interfaceName, std::string(15, 'i'));
    const HostList original =
        MakeList({lab, longest, MakeHostInfo("bare", "", "10.0.0.3", "", "")});

    EXPECT_EQ(FormatCsvHostList(original),
        "HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR\r\n"
        "0,\"say \"\"hi\"\"\",\"a, b\",\"10.0.0.1\",\"255.0.0.0\",\"00:11:22:33:44:55\"\r\n"
        "1,\"n\",\"\",\"10.0.0.2\",\"\",\"\"\r\n"
        "2,\"bare\",\"\",\"10.0.0.3\",\"\",\"\"\r\n");
    const std::string extended = FormatCsvHostList(original, CsvFlavour::kWithGroups);
    EXPECT_TRUE(extended.starts_with(std::string(kCsvExtendedHeaderLine) + "\r\n"));
    HostList imported;
    const CsvImportResult result = ImportCsvHostList(extended, imported, 100);
    EXPECT_EQ(result.added, 3);
    EXPECT_EQ(result.malformed, 0);
    ASSERT_EQ(imported.Count(), 3);
    for (std::int32_t i = 0; i < original.Count(); ++i)
        EXPECT_EQ(ExtendedRow(imported[i]), ExtendedRow(original[i]));
    EXPECT_EQ(CountCsvDuplicates(extended, original), 3);
}

// The header before the lines says whether fields after the MAC address are
// read; a line whose extra field the host edit dialog would refuse is no
// host, and is counted so that the user hears of it.
TEST(CsvHostFileTest, ExtraFieldsAreReadAfterTheExtendedHeaderOnly)
{
    const std::string plain = std::string(kCsvHeaderLine) + "\r\n";
    const std::string extended = std::string(kCsvExtendedHeaderLine) + "\r\n";
    const std::string mac = "00:11:22:33:44:55";
    const std::string hostOf = "a|c|10.0.0.1|m|" + mac + "|0|";
    const struct {
        const char* what;
        std::string file;
        std::string host; // ExtendedRow of the one host read, or "" for none
        std::int32_t malformed;
    } cases[] = {
        {"plain header: extra fields ignored, whatever they hold",
            plain + "0,a,c,10.0.0.1,m,001122334455,\" lab\",bad/name,zz\r\n", hostOf + "||", 0},
        {"no header reads as the plain file", "0,a,c,10.0.0.1,m,001122334455,lab,eth0,\"\"\r\n",
            hostOf + "||", 0},
        {"extended: all three, blanks around names dropped, password made canonical",
            extended + "0,a,c,10.0.0.1,m,001122334455, Lab ,\"eth0 \",01-02-03-04-05-06\r\n",
            hostOf + "Lab|eth0|01:02:03:04:05:06", 0},
        {"extended: fields left out are empty", extended + "0,a,c,10.0.0.1,m,001122334455\r\n",
            hostOf + "||", 0},
        {"extended: a long padded MAC still leaves the fields after it",
            extended + "0,a,c,10.0.0.1,m,\"00-11-22-33-44-55" + std::string(20, ' ') + "\",g\r\n",
            hostOf + "g||", 0},
        {"a plain header after an extended one reads plain again",
            extended + plain + "0,a,c,10.0.0.1,m,001122334455,lab\r\n", hostOf + "||", 0},
        {"group too long", extended + "0,a,c,10.0.0.1,m,," + std::string(32, 'g') + "\r\n", "", 1},
        {"group standing for every host", extended + "0,a,c,10.0.0.1,m,,*\r\n", "", 1},
        {"group with a control character", extended + "0,a,c,10.0.0.1,m,,\"a\tb\"\r\n", "", 1},
        {"group of broken UTF-8", extended + "0,a,c,10.0.0.1,m,,\"\xC3(\"\r\n", "", 1},
        {"interface with a slash", extended + "0,a,c,10.0.0.1,m,,g,eth/0\r\n", "", 1},
        {"interface too long", extended + "0,a,c,10.0.0.1,m,,g," + std::string(16, 'i') + "\r\n",
            "", 1},
        {"SecureOn of five pairs", extended + "0,a,c,10.0.0.1,m,,g,eth0,01:02:03:04:05\r\n", "", 1},
        {"SecureOn not hexadecimal", extended + "0,a,c,10.0.0.1,m,,g,,zz:zz:zz:zz:zz:zz\r\n", "",
            1},
    };
    for (const auto& c : cases) {
        HostList hosts;
        const CsvImportResult result = ImportCsvHostList(c.file, hosts, 100);
        EXPECT_EQ(hosts.Count() == 1 ? ExtendedRow(hosts[0]) : "", c.host) << c.what;
        EXPECT_EQ(result.malformed, c.malformed) << c.what;
        EXPECT_EQ(
            CountCsvDuplicates(c.file, MakeList({MakeHostInfo("x", "", "10.9.9.9", "", mac)})),
            c.host.empty() ? 0 : 1)
            << c.what;
    }
}

TEST(CsvHostFileTest, LongLinesAreReadInPiecesOf1023Characters)
{
    // The second piece of a long line is judged as a line of its own.
    const std::string line = "0,a,\"" + std::string(1023 - 5, 'x') + "5,tail,,10.0.0.5,,\"\"\r\n";
    HostList hosts;
    EXPECT_EQ(ImportCsvHostList(line, hosts, 100).added, 1);
    ASSERT_EQ(hosts.Count(), 1);
    EXPECT_STREQ(hosts[0].hostName, "tail");
}

TEST(CsvHostFileTest, RowLimitBeforeAndWhileReading)
{
    const std::string file =
        "0,a,,10.0.0.1,,\"\"\r\n1,b,,10.0.0.2,,\"\"\r\n2,c,,10.0.0.3,,\"\"\r\n";
    HostList hosts = MakeList({MakeHostInfo("x", "", "10.0.0.9", "", "")});
    const CsvImportResult before = ImportCsvHostList(file, hosts, 1);
    EXPECT_EQ(before.added, 0);
    EXPECT_EQ(before.overLimit, 3);
    EXPECT_TRUE(before.reachedLimit);
    const CsvImportResult during = ImportCsvHostList(file, hosts, 3);
    EXPECT_EQ(during.added, 2);
    EXPECT_EQ(during.overLimit, 1);
    EXPECT_TRUE(during.reachedLimit);
    EXPECT_EQ(hosts.Count(), 3);
}

TEST(CsvHostFileTest, HostsAlreadyListedAreCountedAndSkippedWhenAsked)
{
    // Same MAC in another form, same name in other letters and the same
    // address, and two that only share a name or an address.
    const std::string file = "0,a,,10.0.0.1,,00-11-22-33-44-55\r\n1,B,,10.0.0.2,,\"\"\r\n"
                             "2,b,,10.0.0.3,,\"\"\r\n3,c,,10.0.0.2,,\"\"\r\n";
    HostList hosts = MakeList({MakeHostInfo("x", "", "10.0.0.9", "", "00:11:22:33:44:55"),
        MakeHostInfo("b", "", "10.0.0.2", "", "")});
    EXPECT_TRUE(IsSameHost(hosts[1], MakeHostInfo("B", "other", "10.0.0.2", "", "")));
    EXPECT_FALSE(IsSameHost(hosts[0], MakeHostInfo("x", "", "10.0.0.8", "", "")));
    EXPECT_EQ(CountCsvDuplicates(file, hosts), 2);
    const CsvImportResult skipped = ImportCsvHostList(file, hosts, 100, CsvDuplicates::kSkip);
    EXPECT_EQ(skipped.added, 2);
    EXPECT_EQ(skipped.duplicates, 2);
    ASSERT_EQ(hosts.Count(), 4);
    EXPECT_EQ(std::string(hosts[2].hostName) + hosts[3].hostName, "bc");
    const CsvImportResult added = ImportCsvHostList(file, hosts, 100);
    EXPECT_EQ(added.added, 4);
    EXPECT_EQ(added.duplicates, 4);
}

} // namespace
} // namespace pondel
