#include "ClipboardRows.h"

#include <cstring>

#include <gtest/gtest.h>

namespace pondel {
namespace {

std::string Texts(const ClipboardPaste& paste)
{
    std::string read;
    for (const tHostInfo& host : paste.hosts)
        read += std::string(host.hostName) + "|" + host.comment + "|" + host.ipAddr + "|" +
            host.netMask + "|" + host.macAddr + ";";
    return read;
}

TEST(ClipboardRowsTest, CopyJoinsRowsWithOneLfAndNoneAtTheEndAndPastesBack)
{
    // Texts without a comma, a tab or a quote are copied as they are.
    const tHostInfo hosts[] = {
        MakeHostInfo("pc1", "desk", "10.0.0.1", "255.255.255.0", "00:11:22:33:44:55"),
        MakeHostInfo("pc2", "", "10.0.0.2", "", ""),
        MakeHostInfo("say \"hi\"", "left, desk\tthree", "10.0.0.3", "", ""),
    };
    EXPECT_EQ(FormatClipboardRows(hosts),
        "pc1,desk,10.0.0.1,255.255.255.0,00:11:22:33:44:55\npc2,,10.0.0.2,,\n"
        "\"say \"\"hi\"\"\",\"left, desk\tthree\",10.0.0.3,,");
    EXPECT_EQ(FormatClipboardRows({}), "");
    const ClipboardPaste paste = ParseClipboardRows(FormatClipboardRows(hosts));
    EXPECT_FALSE(paste.formatError);
    ASSERT_EQ(paste.hosts.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::memcmp(&paste.hosts[i], &hosts[i], sizeof(tHostInfo)), 0) << i;
}

TEST(ClipboardRowsTest, WhatReadsAsRows)
{
    // A NUL ending the text is BadInputTest's.
    const std::pair<std::string, std::string> cases[] = {
        // CR LF lines, a final LF, an empty MAC on any line; MACs made canonical.
        {"a,,10.0.0.1,,00-11-22-33-44-55\r\nb,,10.0.0.2,,\r\nc,,10.0.0.3,,001122334455\r\n",
            "a||10.0.0.1||00:11:22:33:44:55;b||10.0.0.2||;c||10.0.0.3||00:11:22:33:44:55;"},
        {std::string(127, 'n') + ",,10.0.0.1,,", std::string(127, 'n') + "||10.0.0.1||;"},
        // A further comma belongs to the MAC address text.
        {"a,,10.0.0.1,,00:11:22,33:44:55", "a||10.0.0.1||00:11:22:33:44:55;"},
        // Quoted fields, text after a closing quote, a quote further inside.
        {"\"a,b\",\"\"\"c\"\"\"x,10.0.0.1,,", "a,b|\"c\"x|10.0.0.1||;"},
        {"say \"hi\",,10.0.0.1,,", "say \"hi\"||10.0.0.1||;"},
        // A spreadsheet's rows: tabs between the cells, commas kept.
        {"pc, one\tleft, desk\t10.0.0.1\t255.0.0.0\t00:11:22:33:44:55\r\n",
            "pc, one|left, desk|10.0.0.1|255.0.0.0|00:11:22:33:44:55;"},
        // The export file pasted whole.
        {"HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR\r\n"
         "0,\"pc\",\"a, b\",\"10.0.0.1\",\"\",\"00-11-22-33-44-55\"\r\n",
            "pc|a, b|10.0.0.1||00:11:22:33:44:55;"},
    };
    for (const auto& [text, read] : cases) {
        const ClipboardPaste paste = ParseClipboardRows(text);
        EXPECT_FALSE(paste.formatError) << text;
        EXPECT_EQ(Texts(paste), read) << text;
    }
}

TEST(ClipboardRowsTest, MalformedLinesStopTheReadingAfterTheGoodOnes)
{
    // Bad addresses, an empty address, bad MACs and a name too long
    // for the record are BadInputTest's rows.
    const std::string good = "a,,10.0.0.1,,001122334455\n";
    const std::string malformed[] = {
        "b,,10.0.0.2,300.0.0.0,001122334455",
        "b,,10.0.0.2,001122334455", // four fields
        "b,,",                      // empty field, then the end
        "b,,10.0.0.2,,00:11:22",
        "b,c,10.0.0.2\n,,001122334455",                // a line break inside the address fields
        "b,,10.0.0.2,," + std::string(32, '0'),        // seven pairs and more
        "0,\"b\",\"\",\"10.0.0.2\",\"10.0.0.x\",\"\"", // an export line with a bad netmask
    };
    for (const std::string& line : malformed) {
        const ClipboardPaste paste = ParseClipboardRows(good + line);
        EXPECT_TRUE(paste.formatError) << line;
        ASSERT_EQ(paste.hosts.size(), 1u) << line;
        EXPECT_STREQ(paste.hosts[0].hostName, "a");
    }
}

} // namespace
} // namespace pondel
