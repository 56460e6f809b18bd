#include "ClipboardRows.h"

#include <cstring>

#include <gtest/gtest.h>

namespace pondel {
namespace {

TEST(ClipboardRowsTest, CopyJoinsRowsWithOneLfAndNoneAtTheEndAndPastesBack)
{
    const tHostInfo hosts[] = {
        MakeHostInfo("pc1", "left, desk", "10.0.0.1", "255.255.255.0", "00:11:22:33:44:55"),
        MakeHostInfo("pc2", "", "10.0.0.2", "", ""),
    };
    EXPECT_EQ(FormatClipboardRows(hosts),
        "pc1,left, desk,10.0.0.1,255.255.255.0,00:11:22:33:44:55\npc2,,10.0.0.2,,");
    EXPECT_EQ(FormatClipboardRows({}), "");
    // A comment holding a comma cannot come back; one without can.
    const tHostInfo plain[] = {
        MakeHostInfo("pc1", "desk", "10.0.0.1", "255.255.255.0", "00:11:22:33:44:55"), hosts[1]};
    const ClipboardPaste paste = ParseClipboardRows(FormatClipboardRows(plain));
    EXPECT_FALSE(paste.formatError);
    ASSERT_EQ(paste.hosts.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(std::memcmp(&paste.hosts[i], &plain[i], sizeof(tHostInfo)), 0) << i;
}

TEST(ClipboardRowsTest, WhatReadsAsRows)
{
    // CR LF lines keep the CR in the MAC; a final LF and an empty MAC at the
    // very end are fine. A NUL ending the text is BadInputTest's.
    const std::pair<std::string, std::string> cases[] = {
        {"a,,10.0.0.1,,00-11-22-33-44-55\r\nb,,,,001122334455\r\n",
            "00-11-22-33-44-55\r|001122334455\r|"},
        {"a,,,,", "|"},
        {std::string(127, 'n') + ",,,,", "|"},
    };
    for (const auto& [text, macs] : cases) {
        const ClipboardPaste paste = ParseClipboardRows(text);
        EXPECT_FALSE(paste.formatError) << text;
        std::string read;
        for (const tHostInfo& host : paste.hosts)
            read += std::string(host.macAddr) + "|";
        EXPECT_EQ(read, macs) << text;
    }
}

TEST(ClipboardRowsTest, MalformedLinesStopTheReadingAfterTheGoodOnes)
{
    // Bad addresses, an empty MAC before another line and a name too long
    // for the record are BadInputTest's rows.
    const std::string good = "a,,10.0.0.1,,001122334455\n";
    const std::string malformed[] = {
        "b,,10.0.0.2,300.0.0.0,001122334455",
        "b,,10.0.0.2,001122334455", // four fields
        "b,,",                      // empty field, then the end
        "b,,10.0.0.2,,00:11:22",
        "b,c,10.0.0.2\n,,001122334455", // a line break inside the address fields
        "b,,,," + std::string(32, '0'),  // a MAC longer than the record: malformed, not cut
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
