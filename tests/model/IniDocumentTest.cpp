#include "IniDocument.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace pondel {
namespace {

using namespace std::string_literals;

std::string Read(std::string_view text, std::string_view section, std::string_view key)
{
    return IniDocument::Parse(text).GetString(section, key, "<default>", 1024);
}

// The text after writing each {section, key, value} in turn.
std::string Written(
    std::string_view text, std::initializer_list<std::array<std::string_view, 3>> writes)
{
    auto document = IniDocument::Parse(text);
    for (const auto& [section, key, value] : writes)
        document.SetString(section, key, value);
    return document.Serialize();
}

TEST(IniDocumentReadTest, ReadRules)
{
    const struct {
        std::string text;
        std::string_view section, key, expected;
    } cases[] = {
        // Names match without case and blanks; values keep their case.
        {"  [ Setting ]  trailing words\n\t Port_No \t=\t 9 \t\n", "SETTING", "PORT_NO", "9"},
        {"  [ Setting ]\n Port_No = 9\n", " setting ", " port_no ", "9"},
        {"[A]\nKey=Value\n", "a", "KEY", "Value"},
        // Only the first section and key of a name count.
        {"[a]\nk=1\nK=2\n[b]\nk=3\n[A]\nk=4\nother=5\n", "a", "k", "1"},
        {"[a]\nk=1\n[A]\nother=5\n", "a", "other", "<default>"},
        // One pair of matching quotes goes; names keep theirs.
        {"[s]\nk=\" * \"\n", "s", "k", " * "},
        {"[s]\nk= ' x ' \n", "s", "k", " x "},
        {"[s]\nk=\"\"x\"\"\n", "s", "k", "\"x\""},
        {"[s]\nk=\"x'\n", "s", "k", "\"x'"},
        {"[s]\nk=\"\n", "s", "k", "\""},
        {"[s]\n\"k\"=1\n", "s", "k", "<default>"},
        // "key=" is found empty; no section, or no key name, is missing.
        {"[s]\nempty=\n", "s", "empty", ""},
        {"[s]\nblank=   \n", "s", "blank", ""},
        {"[s]\nk=1\n", "missing", "k", "<default>"},
        {"[s]\n=1\n", "s", "", "<default>"},
        // Comments, lines without "=" and lines before the first section are no keys; # is no
        // comment character.
        {"k=early\n[s]\n;k=comment\n  ; k=indented\nk\nk=late\n", "s", "k", "late"},
        {"[s]\n#k=hash\n", "s", "#k", "hash"},
        // Every line break style, even mixed.
        {"[s]\r\na=1\r\nb=2\r\n", "s", "b", "2"},
        {"[s]\na=1\nb=2\n", "s", "b", "2"},
        {"[s]\ra=1\rb=2\r", "s", "b", "2"},
        {"[s]\r\na=1\rb=2\nc=3", "s", "c", "3"},
        // A byte-order mark is tolerated; a value ends at a NUL byte.
        {"\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "1"},
        {"[s]\nk=ab\0cd\n"s, "s", "k", "ab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.text, c.section, c.key), c.expected) << c.text;
}

TEST(IniDocumentReadTest, ADefaultLosesOnlyTrailingSpacesAndBothAreCutToTheBuffer)
{
    const auto document = IniDocument::Parse("[s]\nk=abcdef\n");
    // Only trailing spaces leave a default, nothing else.
    EXPECT_EQ(document.GetString("s", "missing", " * ", 1024), " *");
    EXPECT_EQ(document.GetString("s", "missing", "\tx\t ", 1024), "\tx\t");
    // Values and defaults are cut to the caller's buffer.
    EXPECT_EQ(document.GetString("s", "k", "", 4), "abc");
    EXPECT_EQ(document.GetString("s", "missing", "uvwxyz", 3), "uv");
    EXPECT_EQ(document.GetString("s", "k", "", 0), "");
}

TEST(IniDocumentWriteTest, WritesChangeOnlyTheirLines)
{
    const std::string untouched =
        "; head\r\nstray line\r\n[ S ] tail\r\n  key = value  \r\n;c\r\n\r\n[t]\nx=1\rjunk\x01\x02";
    EXPECT_EQ(Written(untouched, {}), untouched);
    EXPECT_EQ(Written("\xEF\xBB\xBF[s]\nk=1\n", {{"s", "k", "2"}}), "\xEF\xBB\xBF[s]\nk=2\n");
    // An existing key is replaced where it stands and keeps its spelling.
    EXPECT_EQ(Written(";c\n[S]\n Port_No = 7\nNext=1\n", {{"s", "PORT_NO", "9"}}),
        ";c\n[S]\n Port_No =9\nNext=1\n");
    // New keys follow the last key of their section, in write order.
    EXPECT_EQ(Written("[a]\nx=1\n; trailing comment\n\n[b]\ny=2\n",
                  {{"a", "n1", "1"}, {"a", "n2", "2"}, {"b", "n3", "3"}}),
        "[a]\nx=1\nn1=1\nn2=2\n; trailing comment\n\n[b]\ny=2\nn3=3\n");
    EXPECT_EQ(Written("[a]\n;note\n[b]\n", {{"a", "k", "v"}}), "[a]\nk=v\n;note\n[b]\n");
    // New sections go to the end, after a line break, in the file's line break style.
    EXPECT_EQ(
        Written("[a]\nx=1", {{" New ", "k", "v"}, {"a", "y", "2"}}), "[a]\nx=1\ny=2\n[New]\nk=v\n");
    EXPECT_EQ(Written("", {{"s", "k", ""}}), "[s]\nk=\n");
    EXPECT_EQ(Written("[a]\r\nx=1\r\n", {{"a", "y", "2"}, {"b", "z", "3"}}),
        "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n");
    // A line break in a value cannot start new lines.
    EXPECT_EQ(Written("[s]\n", {{"s", "k", "a\n[SETTING]\r\nPORT_NO=1"}}), "[s]\nk=a\n");
}

TEST(IniDocumentWriteTest, NamesThatWouldReadBackAsOtherLinesAreRefused)
{
    const std::string text = "[s]\nk=1\n";
    const std::string_view refusedSections[] = {
        "s]\nk", "x\r[s", "a\rb", "a\nb", std::string_view("a\0b", 3), "s]extra"};
    for (const std::string_view section : refusedSections)
        EXPECT_EQ(Written(text, {{section, "k", "2"}}), text) << section;
    const std::string_view refusedKeys[] = {"k=2\nother", "a\r\n[s]\nk", "k\r", "x=k",
        std::string_view("k\0x", 3), ";k", " ;k", "[s]", "[k"};
    for (const std::string_view key : refusedKeys)
        EXPECT_EQ(Written(text, {{"s", key, "2"}}), text) << key;
    // Such characters elsewhere in a name are harmless and kept.
    EXPECT_EQ(
        Written(text, {{"s", "a;b[c]", "2"}, {"[t", "k", "3"}}), "[s]\nk=1\na;b[c]=2\n[[t]\nk=3\n");
    EXPECT_EQ(Read("[s]\na;b[c]=2\n[[t]\nk=3\n", "[t", "k"), "3");
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
    EXPECT_EQ(IniDocument::Parse("[x]\n[b]\n[ a ]\n[B]\n[X]\n").SectionNames(),
        (std::vector<std::string>{"x", "b", "a"}));
}

// Hosts are read and written through handles: one lookup of the section for
// all its keys.
TEST(IniDocumentHandleTest, HandlesReadAndWriteLikeNames)
{
    auto document = IniDocument::Parse("[h]\nA=1\n;c\nb= \"2\" \na=3\n[x]\n");
    const auto handle = document.AddSection(" H ");
    ASSERT_TRUE(handle.has_value());
    const std::array<std::string_view, 4> keys{"a", " B ", "missing", "A"};
    std::array<std::optional<std::string_view>, 4> values;
    document.FindAll(*handle, keys, values);
    EXPECT_EQ(values[0], "1");
    EXPECT_EQ(values[1], "2");
    EXPECT_EQ(values[2], std::nullopt);
    EXPECT_EQ(values[3], "1"); // the first key of a name counts, however often asked
    EXPECT_EQ(document.Find(*handle, "b"), "2");

    // Writing what is there changes nothing; one new value is written in place.
    const std::array<IniDocument::KeyValue, 2> same{{{"a", "1"}, {"b", " \"2\" "}}};
    document.SetAll(*handle, same);
    EXPECT_EQ(document.Serialize(), "[h]\nA=1\n;c\nb= \"2\" \na=3\n[x]\n");
    const std::array<IniDocument::KeyValue, 3> changed{{{"a", "1"}, {"b", "4"}, {"new", "5"}}};
    document.SetAll(*handle, changed);
    EXPECT_EQ(document.Serialize(), "[h]\nA=1\n;c\nb=4\na=3\nnew=5\n[x]\n");

    // A new section goes to the end; a name that would not read back is refused.
    const auto added = document.AddSection("y");
    ASSERT_TRUE(added.has_value());
    document.SetString(*added, "k", "v");
    EXPECT_FALSE(document.AddSection("a]b").has_value());
    EXPECT_EQ(document.Serialize(), "[h]\nA=1\n;c\nb=4\na=3\nnew=5\n[x]\n[y]\nk=v\n");
    std::vector<std::string> names;
    document.ForEachSection(
        [&names](const IniDocument::NamedSection& section) { names.emplace_back(section.name); });
    EXPECT_EQ(names, (std::vector<std::string>{"h", "x", "y"}));
}

// FindAll tries the key after the last one found first; keys asked for out
// of the file's order, twice, in another case, or with blanks must still get
// the first line of their name, and SetAll must not take a changed value for
// an unchanged one.
TEST(IniDocumentHandleTest, KeysAskedForInAnyOrderGetTheFirstLineOfTheirName)
{
    auto document = IniDocument::Parse("[h]\n a = 1\nb=2\nB=3\n=4\nc=5\n");
    const auto handle = document.AddSection("h");
    ASSERT_TRUE(handle.has_value());
    const std::array<std::string_view, 6> keys{"c", "b", "A", " B", "", "a"};
    std::array<std::optional<std::string_view>, keys.size()> values;
    document.FindAll(*handle, keys, values);
    EXPECT_EQ(values[0], "5");
    EXPECT_EQ(values[1], "2");
    EXPECT_EQ(values[2], "1");
    EXPECT_EQ(values[3], "2");
    EXPECT_EQ(values[4], std::nullopt); // an empty name is never found
    EXPECT_EQ(values[5], "1");

    // Asked for twice, a key is compared with its first line both times: the
    // second value differs and is written there.
    const std::array<IniDocument::KeyValue, 2> twice{{{"b", "2"}, {"B", "3"}}};
    document.SetAll(*handle, twice);
    EXPECT_EQ(document.Serialize(), "[h]\n a = 1\nb=3\nB=3\n=4\nc=5\n");
    // Written in reverse order, unchanged values leave the text as it is.
    const std::array<IniDocument::KeyValue, 2> reversed{{{"c", "5"}, {"b", "3"}}};
    document.SetAll(*handle, reversed);
    EXPECT_EQ(document.Serialize(), "[h]\n a = 1\nb=3\nB=3\n=4\nc=5\n");
}

// Lines are views into the document's own copy of the text; a short text,
// held inside the string object itself, must survive the document's moves.
TEST(IniDocumentHandleTest, ADocumentKeepsItsTextWhenMoved)
{
    std::string text = "[s]\nk=1\n";
    IniDocument first = IniDocument::ParseOwned(text);
    text.assign(text.size(), 'x');
    IniDocument second = std::move(first);
    IniDocument third;
    third = std::move(second);
    EXPECT_EQ(third.Find("s", "k"), "1");
    EXPECT_EQ(third.Serialize(), "[s]\nk=1\n");
    // An empty document is one whose first section counts like any other.
    IniDocument empty;
    empty.SetString("a", "k", "1");
    empty.SetString("b", "k", "2");
    EXPECT_EQ(empty.SectionNames(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(empty.Serialize(), "[a]\nk=1\n[b]\nk=2\n");
}

} // namespace
} // namespace pondel
