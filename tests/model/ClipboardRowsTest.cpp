#include "ClipboardRows.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

TEST(ClipboardRowsTest, CopyJoinsRowsWithOneLfAndNoneAtTheEnd)
{
    const tHostInfo hosts[] = {
        MakeHostInfo("pc1", "left, desk", "10.0.0.1", "255.255.255.0", "00:11:22:33:44:55"),
        MakeHostInfo("pc2", "", "10.0.0.2", "", ""),
    };
    EXPECT_EQ(FormatClipboardRows(hosts),
        "pc1,left, desk,10.0.0.1,255.255.255.0,00:11:22:33:44:55\npc2,,10.0.0.2,,");
    EXPECT_EQ(FormatClipboardRows({}), "");
}

TEST(ClipboardRowsTest, CopiedRowsPasteBack)
{
    const tHostInfo hosts[] = {
        MakeHostInfo("pc1", "desk", "10.0.0.1", "255.255.255.0", "00:11:22:33:44:55"),
        MakeHostInfo("pc2", "", "10.0.0.2", "", ""),
    };
    const ClipboardPaste paste = ParseClipboardRows(FormatClipboardRows(hosts));
    EXPECT_FALSE(paste.formatError);
    ASSERT_EQ(paste.hosts.size(), 2u);
    EXPECT_STREQ(paste.hosts[0].comment, "desk");
    EXPECT_STREQ(paste.hosts[0].macAddr, "00:11:22:33:44:55");
    EXPECT_STREQ(paste.hosts[1].ipAddr, "10.0.0.2");
    EXPECT_STREQ(paste.hosts[1].macAddr, "");
}

TEST(ClipboardRowsTest, CrLfLinesKeepTheCrInTheMacAndAFinalLfIsFine)
{
    const ClipboardPaste paste =
        ParseClipboardRows("a,,10.0.0.1,,00-11-22-33-44-55\r\nb,,,,001122334455\r\n");
    EXPECT_FALSE(paste.formatError);
    ASSERT_EQ(paste.hosts.size(), 2u);
    EXPECT_STREQ(paste.hosts[0].macAddr, "00-11-22-33-44-55\r");
    EXPECT_STREQ(paste.hosts[1].macAddr, "001122334455\r");
}

TEST(ClipboardRowsTest, MalformedLinesStopTheReadingAfterTheGoodOnes)
{
    const std::string good = "a,,10.0.0.1,,001122334455\n";
    const std::string_view malformed[] = {
        "b,,255.255.255.255,,001122334455", // the address inet_addr cannot tell from a fault
        "b,,10.0.0.x,,001122334455",
        "b,,10.0.0.2,300.0.0.0,001122334455",
        "b,,10.0.0.2,001122334455",           // four fields
        "b,,",                                // empty field, then the end
        "b,,10.0.0.2,,\nc,,10.0.0.3,,001122334455", // empty MAC before another line
        "b,,10.0.0.2,,00:11:22",
        "b,c,10.0.0.2\n,,001122334455", // a line break inside the address fields
    };
    for (const std::string_view line : malformed) {
        const ClipboardPaste paste = ParseClipboardRows(good + std::string(line));
        EXPECT_TRUE(paste.formatError) << line;
        ASSERT_EQ(paste.hosts.size(), 1u) << line;
        EXPECT_STREQ(paste.hosts[0].hostName, "a");
    }
}

TEST(ClipboardRowsTest, EmptyMacOnlyAtTheVeryEnd)
{
    const ClipboardPaste paste = ParseClipboardRows("a,,,,");
    EXPECT_FALSE(paste.formatError);
    ASSERT_EQ(paste.hosts.size(), 1u);
    EXPECT_STREQ(paste.hosts[0].ipAddr, "");
}

TEST(ClipboardRowsTest, TextsLongerThanTheRecordAreMalformedNotCut)
{
    const std::string name127(127, 'n');
    EXPECT_FALSE(ParseClipboardRows(name127 + ",,,,").formatError);
    const ClipboardPaste tooLong = ParseClipboardRows(name127 + "n,,,,");
    EXPECT_TRUE(tooLong.formatError);
    EXPECT_TRUE(tooLong.hosts.empty());
    EXPECT_TRUE(ParseClipboardRows("a,,,," + std::string(32, '0')).formatError);
}

TEST(ClipboardRowsTest, ReadingEndsAtANul)
{
    const std::string text("a,,10.0.0.1,,001122334455\n\0garbage", 35);
    const ClipboardPaste paste = ParseClipboardRows(text);
    EXPECT_FALSE(paste.formatError);
    EXPECT_EQ(paste.hosts.size(), 1u);
}

} // namespace
} // namespace pondel
