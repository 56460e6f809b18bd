#include "model/IniDocument.h"

#include <string>

#include <gtest/gtest.h>

namespace pondel {
namespace {

std::string Read(std::string_view text, std::string_view section, std::string_view key)
{
    return IniDocument::Parse(text).GetString(section, key, "<default>", 1024);
}

TEST(IniDocumentReadTest, NamesMatchWithoutCaseAndBlanks)
{
    const std::string text = "  [ Setting ]  trailing words\n\t Port_No \t=\t 9 \t\n";
    EXPECT_EQ(Read(text, "SETTING", "PORT_NO"), "9");
    EXPECT_EQ(Read(text, " setting ", " port_no "), "9");
    EXPECT_EQ(Read("[A]\nKey=Value\n", "a", "KEY"), "Value") << "values keep their case";
}

TEST(IniDocumentReadTest, OnlyTheFirstSectionAndKeyOfANameCount)
{
    const std::string text = "[a]\nk=1\nK=2\n[b]\nk=3\n[A]\nk=4\nother=5\n";
    EXPECT_EQ(Read(text, "a", "k"), "1");
    EXPECT_EQ(Read(text, "a", "other"), "<default>");
}

TEST(IniDocumentReadTest, OnePairOfMatchingQuotesIsRemoved)
{
    EXPECT_EQ(Read("[s]\nk=\" * \"\n", "s", "k"), " * ");
    EXPECT_EQ(Read("[s]\nk= ' x ' \n", "s", "k"), " x ");
    EXPECT_EQ(Read("[s]\nk=\"\"x\"\"\n", "s", "k"), "\"x\"");
    EXPECT_EQ(Read("[s]\nk=\"x'\n", "s", "k"), "\"x'");
    EXPECT_EQ(Read("[s]\nk=\"\n", "s", "k"), "\"");
    EXPECT_EQ(Read("[s]\n\"k\"=1\n", "s", "k"), "<default>") << "names keep their quotes";
}

TEST(IniDocumentReadTest, EmptyValueIsFoundAndMissingKeysGiveTheDefault)
{
    const auto document = IniDocument::Parse("[s]\nempty=\nblank=   \n");
    EXPECT_EQ(document.Find("s", "empty"), std::string_view{});
    EXPECT_EQ(document.GetString("s", "blank", "d", 1024), "");
    EXPECT_FALSE(document.Find("s", "missing"));
    EXPECT_FALSE(document.Find("missing", "empty"));
    EXPECT_FALSE(document.Find("s", ""));
    // Only trailing spaces leave a default, nothing else.
    EXPECT_EQ(document.GetString("s", "missing", " * ", 1024), " *");
    EXPECT_EQ(document.GetString("s", "missing", "\tx\t ", 1024), "\tx\t");
}

TEST(IniDocumentReadTest, ValuesAreCutToTheBuffer)
{
    const auto document = IniDocument::Parse("[s]\nk=abcdef\n");
    EXPECT_EQ(document.GetString("s", "k", "", 4), "abc");
    EXPECT_EQ(document.GetString("s", "missing", "uvwxyz", 3), "uv");
    EXPECT_EQ(document.GetString("s", "k", "", 0), "");
}

TEST(IniDocumentReadTest, CommentsOddLinesAndLinesBeforeTheFirstSectionAreNoKeys)
{
    const std::string text = "k=early\n[s]\n;k=comment\n  ; k=indented\nk\n#k=hash\nk=late\n";
    EXPECT_EQ(Read(text, "s", "k"), "late");
    EXPECT_EQ(Read(text, "s", "#k"), "hash") << "# is no comment character";
}

TEST(IniDocumentReadTest, EveryLineBreakStyleReads)
{
    for (const std::string lineBreak : {"\r\n", "\n", "\r"}) {
        const std::string text = "[s]" + lineBreak + "a=1" + lineBreak + "b=2" + lineBreak;
        EXPECT_EQ(Read(text, "s", "a"), "1") << "break " << lineBreak.size();
        EXPECT_EQ(Read(text, "s", "b"), "2");
    }
    EXPECT_EQ(Read("[s]\r\na=1\rb=2\nc=3", "s", "c"), "3");
}

TEST(IniDocumentReadTest, ByteOrderMarkIsToleratedAndKept)
{
    const std::string text = "\xEF\xBB\xBF[s]\nk=1\n";
    auto document = IniDocument::Parse(text);
    EXPECT_EQ(document.GetString("s", "k", "", 16), "1");
    document.SetString("s", "k", "2");
    EXPECT_EQ(document.Serialize(), "\xEF\xBB\xBF[s]\nk=2\n");
}

TEST(IniDocumentReadTest, ValueEndsAtANulByte)
{
    const std::string text("[s]\nk=ab\0cd\n", 12);
    EXPECT_EQ(Read(text, "s", "k"), "ab");
}

TEST(IniDocumentWriteTest, UntouchedTextSerialisesByteForByte)
{
    const std::string text =
        "; head\r\nstray line\r\n[ S ] tail\r\n  key = value  \r\n;c\r\n\r\n[t]\nx=1\rjunk\x01\x02";
    EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
}

TEST(IniDocumentWriteTest, ExistingKeyIsReplacedWhereItStandsKeepingItsSpelling)
{
    auto document = IniDocument::Parse(";c\n[S]\n Port_No = 7\nNext=1\n");
    document.SetString("s", "PORT_NO", "9");
    EXPECT_EQ(document.Serialize(), ";c\n[S]\n Port_No =9\nNext=1\n");
}

TEST(IniDocumentWriteTest, NewKeysFollowTheLastKeyOfTheirSectionInWriteOrder)
{
    auto document = IniDocument::Parse("[a]\nx=1\n; trailing comment\n\n[b]\ny=2\n");
    document.SetString("a", "n1", "1");
    document.SetString("a", "n2", "2");
    document.SetString("b", "n3", "3");
    EXPECT_EQ(document.Serialize(), "[a]\nx=1\nn1=1\nn2=2\n; trailing comment\n\n[b]\ny=2\nn3=3\n");

    auto keyless = IniDocument::Parse("[a]\n;note\n[b]\n");
    keyless.SetString("a", "k", "v");
    EXPECT_EQ(keyless.Serialize(), "[a]\nk=v\n;note\n[b]\n");
}

TEST(IniDocumentWriteTest, NewSectionsGoToTheEndAfterALineBreak)
{
    auto document = IniDocument::Parse("[a]\nx=1");
    document.SetString(" New ", "k", "v");
    document.SetString("a", "y", "2");
    EXPECT_EQ(document.Serialize(), "[a]\nx=1\ny=2\n[New]\nk=v\n");

    auto empty = IniDocument::Parse("");
    empty.SetString("s", "k", "");
    EXPECT_EQ(empty.Serialize(), "[s]\nk=\n");
    EXPECT_EQ(empty.Find("s", "k"), std::string_view{});
}

TEST(IniDocumentWriteTest, NewLinesTakeTheFilesLineBreakStyle)
{
    auto document = IniDocument::Parse("[a]\r\nx=1\r\n");
    document.SetString("a", "y", "2");
    document.SetString("b", "z", "3");
    EXPECT_EQ(document.Serialize(), "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n");
}

TEST(IniDocumentWriteTest, LineBreaksInAValueCannotStartNewLines)
{
    auto document = IniDocument::Parse("[s]\n");
    document.SetString("s", "k", "a\n[SETTING]\r\nPORT_NO=1");
    EXPECT_EQ(document.Serialize(), "[s]\nk=a\n");
}

TEST(IniDocumentWriteTest, DeletingASectionRemovesItsLinesAndUncoversALaterOne)
{
    auto document = IniDocument::Parse("[a]\nx=1\n[b]\n;note\ny=2\n\n[c]\nz=3\n[B]\ny=4\n");
    document.DeleteSection("B");
    EXPECT_EQ(document.Serialize(), "[a]\nx=1\n[c]\nz=3\n[B]\ny=4\n");
    EXPECT_EQ(document.GetString("b", "y", "", 16), "4");
    document.DeleteSection("b");
    document.DeleteSection("b");
    EXPECT_FALSE(document.HasSection("b"));
    document.SetString("b", "y", "5");
    EXPECT_EQ(document.Serialize(), "[a]\nx=1\n[c]\nz=3\n[b]\ny=5\n");
}

TEST(IniDocumentWriteTest, SectionNamesListTheSectionsThatCountInFileOrder)
{
    const auto document = IniDocument::Parse("[x]\n[b]\n[ a ]\n[B]\n[X]\n");
    EXPECT_EQ(document.SectionNames(), (std::vector<std::string>{"x", "b", "a"}));
}

} // namespace
} // namespace pondel
