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

void ExpectHost(const tHostInfo& host, std::string_view name, std::string_view comment,
    std::string_view ip, std::string_view mask, std::string_view mac)
{
    EXPECT_EQ(host.hostName, name);
    EXPECT_EQ(host.comment, comment);
    EXPECT_EQ(host.ipAddr, ip);
    EXPECT_EQ(host.netMask, mask);
    EXPECT_EQ(host.macAddr, mac);
    EXPECT_EQ(host.active, 0);
}

TEST(CsvHostFileTest, ExportWritesTheHeaderAndQuotedLinesWithCrLf)
{
    tHostInfo active = MakeHostInfo("pc2", "", "10.0.0.2", "", "");
    active.active = 1;
    EXPECT_EQ(FormatCsvHostList(MakeList({MakeHostInfo("pc1", "desk, left", "10.0.0.1",
                                              "255.0.0.0", "00:11:22:33:44:55"),
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
    for (std::int32_t i = 0; i < original.Count(); ++i) {
        const tHostInfo& host = original[i];
        ExpectHost(imported[i + 1], host.hostName, host.comment, host.ipAddr, host.netMask,
            host.macAddr);
    }
}

TEST(CsvHostFileTest, LinesOfTheOldFormReadAsBefore)
{
    // Written before quotes were doubled: a quote inside only toggles.
    const auto host = ParseCsvHostLine("3,\"say \"hi\" now\",\"\",\"10.0.0.1\",\"\",\"\"");
    ASSERT_TRUE(host);
    ExpectHost(*host, "say hi now", "", "10.0.0.1", "", "");
}

TEST(CsvHostFileTest, LineRules)
{
    struct Case {
        std::string_view line;
        bool imported;
    };
    const Case cases[] = {
        {"HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR", false},
        {"0,a,b,10.0.0.1,m,mac", true},
        {",a,b,10.0.0.1,m,mac", true},        // empty row number counts as 0
        {"  +7,a,b,10.0.0.1,m,mac", true},    // blanks and a sign before the number
        {"-1,a,b,10.0.0.1,m,mac", false},     // negative
        {"12a,a,b,10.0.0.1,m,mac", false},    // trailing text
        {"   ,a,b,10.0.0.1,m,mac", false},    // blanks alone are no number
        {"0,a,b,,m,mac", false},              // empty IP address
        {"0,a,b,10.0.0.1,m", false},          // five fields
        {"0,a,b,10.0.0.1,m,", false},         // unquoted empty MAC ends the line
        {"0,a,b,10.0.0.1,m,\"\"", true},      // quoted empty MAC
        {"0,a,b,10.0.0.1,m,mac,extra", true}, // fields after the MAC are ignored
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCsvHostLine(c.line).has_value(), c.imported) << c.line;
}

TEST(CsvHostFileTest, FieldCapacities)
{
    const std::string ok = "0," + std::string(125, 'n') + ",c,10.0.0.1,m,mac";
    const std::string longName = "0," + std::string(126, 'n') + ",c,10.0.0.1,m,mac";
    EXPECT_TRUE(ParseCsvHostLine(ok));
    EXPECT_FALSE(ParseCsvHostLine(longName));
    const auto cut = ParseCsvHostLine("0,n,c,10.0.0.1,m," + std::string(40, 'A'));
    ASSERT_TRUE(cut);
    EXPECT_EQ(std::string(cut->macAddr), std::string(30, 'A'));
}

TEST(CsvHostFileTest, ImportSkipsBadLinesAnywhereAndAcceptsAByteOrderMark)
{
    HostList hosts;
    const CsvImportResult result = ImportCsvHostList("\xEF\xBB\xBF"
                                                     "0,a,,10.0.0.1,,\"\"\n"
                                                     "HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR\r\n"
                                                     "garbage\r\n"
                                                     "\r\n"
                                                     "1,b,,10.0.0.2,,\"\"",
        hosts, 100);
    EXPECT_EQ(result.added, 2);
    ASSERT_EQ(hosts.Count(), 2);
    EXPECT_STREQ(hosts[0].hostName, "a");
    EXPECT_STREQ(hosts[1].hostName, "b");
}

TEST(CsvHostFileTest, LongLinesAreReadInPiecesOf1023Characters)
{
    // The second piece of a long line is judged as a line of its own.
    const std::string tail = "5,tail,,10.0.0.5,,\"\"";
    const std::string line = "0,a,\"" + std::string(1023 - 5, 'x') + tail + "\r\n";
    HostList hosts;
    EXPECT_EQ(ImportCsvHostList(line, hosts, 100).added, 1);
    ASSERT_EQ(hosts.Count(), 1);
    EXPECT_STREQ(hosts[0].hostName, "tail");
}

TEST(CsvHostFileTest, RowLimitBeforeAndWhileReading)
{
    const std::string file = "0,a,,10.0.0.1,,\"\"\r\n1,b,,10.0.0.2,,\"\"\r\n2,c,,10.0.0.3,,\"\"\r\n";
    HostList full = MakeList({MakeHostInfo("x", "", "10.0.0.9", "", "")});
    const CsvImportResult before = ImportCsvHostList(file, full, 1);
    EXPECT_EQ(before.added, 0);
    EXPECT_TRUE(before.reachedLimit);

    HostList room = MakeList({MakeHostInfo("x", "", "10.0.0.9", "", "")});
    const CsvImportResult during = ImportCsvHostList(file, room, 3);
    EXPECT_EQ(during.added, 2);
    EXPECT_TRUE(during.reachedLimit);
    EXPECT_EQ(room.Count(), 3);
}

} // namespace
} // namespace pondel
