#include "IniDocument.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "LineEnds.h"

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

// What a text reads as, stated once here. Every other read and write rule
// (defaults, cuts to the buffer, where writes go, deleted sections, lookups
// by handle) is held to the first document by IniDocumentDifferentialTest
// over its corpus and generated texts; kept here is what that test cannot
// reach: names holding the characters it splits names at, the order FindAll
// tries keys in, and a moved short text.
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

TEST(IniDocumentWriteTest, NamesThatWouldReadBackAsOtherLinesAreRefused)
{
    const std::string text = "[s]\nk=1\n";
    const std::string_view refusedSections[] = {"s]\nk", "x\r[s", "a\rb", "a\nb",
        std::string_view("a\0b", 3), "s]extra", "\ts", "s\t", " \ts "};
    for (const std::string_view section : refusedSections)
        EXPECT_EQ(Written(text, {{section, "k", "2"}}), text) << section;
    const std::string_view refusedKeys[] = {"k=2\nother", "a\r\n[s]\nk", "k\r", "x=k",
        std::string_view("k\0x", 3), ";k", " ;k", "[s]", "[k", "\t[x]", "\t;k", "k\t", " \tk"};
    for (const std::string_view key : refusedKeys)
        EXPECT_EQ(Written(text, {{"s", key, "2"}}), text) << key;
    // Such characters elsewhere in a name are harmless and kept.
    EXPECT_EQ(
        Written(text, {{"s", "a;b[c]", "2"}, {"[t", "k", "3"}}), "[s]\nk=1\na;b[c]=2\n[[t]\nk=3\n");
    EXPECT_EQ(Read("[s]\na;b[c]=2\n[[t]\nk=3\n", "[t", "k"), "3");
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

// Lines and values are searched eight bytes at a time, the last few bytes
// together with the ones before them: every length, every position of the
// line end and every alignment must find the first one, and nothing past
// the end.
TEST(LineEndsTest, TheFirstLineEndIsFoundWhereverItLies)
{
    const std::string_view kEnds{"\r\n\0", 3};
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t offset = 0; offset < 8; ++offset) {
            for (std::size_t at = 0; at <= length; ++at) {
                for (const char end : kEnds) {
                    // A line end just past the text must not be found.
                    std::string buffer(offset + length + 1, 'a');
                    buffer[offset + length] = '\n';
                    if (at < length)
                        buffer[offset + at] = end;
                    if (at + 3 < length)
                        buffer[offset + at + 3] = '\r'; // a later one
                    const std::string_view text = std::string_view(buffer).substr(offset, length);
                    const auto naive = [&text](std::string_view ends) {
                        return std::min(text.find_first_of(ends), text.size());
                    };
                    ASSERT_EQ(FirstLineOf(text).size(), naive(kEnds)) << length << ' ' << at;
                    ASSERT_EQ(FindLineBreak(text.data(), text.data() + text.size()) - text.data(),
                        static_cast<std::ptrdiff_t>(naive("\r\n")))
                        << length << ' ' << at;
                }
            }
        }
    }
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
