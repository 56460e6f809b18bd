// The INI document against the first, straightforward one it replaced:
// for every input, the same text written back, the same sections, the same
// value for every lookup, and the same text after the same writes. The
// inputs are the seed corpus in ini-corpus/, the settings fuzzer's seeds,
// any folder named by PONDEL_INI_CORPUS_EXTRA (a corpus a long fuzzing run
// grew), and texts generated from the pieces that INI reading is fussy
// about.
#include "IniDocument.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "ReferenceIniDocument.h"
#include "TemporaryDirectory.h"

namespace pondel {
namespace {

using test::ReferenceIniDocument;
using namespace std::string_literals;
using namespace std::string_view_literals;

// Pieces of INI text, odd ones included: every line break, NUL bytes,
// quotes, blanks, brackets, and names differing only in case.
const std::vector<std::string> kPieces{"[", "]", "=", " ", "\t", "\r", "\n", "\r\n", ";", "\"", "'",
    "\0"s, "a", "A", "k", "K", "HOST_1", "host_1", "value", "\xEF\xBB\xBF", "[a]\n", "[A]\r\n",
    "k=1\n", "K = 2\r", " [ s ] x\n", "=\n", "[]\n", "#", "\xC3\xA9", "\xFF"};

std::string RandomText(std::mt19937& random)
{
    std::string text;
    const int pieces = std::uniform_int_distribution(0, 40)(random);
    for (int i = 0; i < pieces; ++i) {
        switch (std::uniform_int_distribution(0, 9)(random)) {
        case 0: // any byte
            text += static_cast<char>(std::uniform_int_distribution(0, 255)(random));
            break;
        case 1: // a long run
            text.append(std::uniform_int_distribution(100, 5000)(random),
                "x= "[std::uniform_int_distribution(0, 2)(random)]);
            break;
        default:
            text +=
                kPieces[std::uniform_int_distribution<std::size_t>(0, kPieces.size() - 1)(random)];
        }
    }
    return text;
}

std::vector<std::string> CorpusTexts()
{
    std::vector<std::filesystem::path> folders{PONDEL_INI_CORPUS, PONDEL_INI_FUZZ_SEEDS};
    if (const char* extra = std::getenv("PONDEL_INI_CORPUS_EXTRA"))
        folders.emplace_back(extra);
    std::vector<std::string> texts;
    for (const std::filesystem::path& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                texts.push_back(ReadTextFile(entry.path()));
        }
    }
    return texts;
}

// Names to look up: every run of text between the characters that end
// names in the input, trimmed or not, in both cases, and some never there.
std::vector<std::string> CandidateNames(std::string_view text)
{
    std::set<std::string> names{"", " ", "k", "K", "a", "missing", "HOST_1", " host_1 "};
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && std::string_view("[]=\r\n").find(text[i]) == std::string_view::npos)
            continue;
        const std::string name(text.substr(begin, std::min<std::size_t>(i - begin, 64)));
        names.insert(name);
        std::string upper = name;
        std::ranges::transform(upper, upper.begin(),
            [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
        names.insert(upper);
        names.insert(" " + name + " ");
        begin = i + 1;
        if (names.size() > 60)
            break;
    }
    return {names.begin(), names.end()};
}

void ExpectSameDocument(const IniDocument& document, const ReferenceIniDocument& reference,
    const std::vector<std::string>& names, const std::string& input)
{
    ASSERT_EQ(document.Serialize(), reference.Serialize()) << testing::PrintToString(input);
    // Written out in pieces, as a save does, the text is the same, and a
    // limit of one piece fewer is refused.
    const auto pieces = document.Pieces(std::numeric_limits<std::size_t>::max());
    ASSERT_TRUE(pieces.has_value());
    std::string joined;
    for (const std::string_view piece : *pieces)
        joined += piece;
    ASSERT_EQ(joined, reference.Serialize()) << testing::PrintToString(input);
    if (!pieces->empty()) {
        ASSERT_FALSE(document.Pieces(pieces->size() - 1).has_value());
    }
    ASSERT_EQ(document.SectionNames(), reference.SectionNames()) << testing::PrintToString(input);
    ASSERT_EQ(document.NewLineBreak(), reference.NewLineBreak());
    for (const std::string& section : names) {
        ASSERT_EQ(document.HasSection(section), reference.HasSection(section));
        for (const std::string& key : names) {
            ASSERT_EQ(document.Find(section, key), reference.Find(section, key))
                << testing::PrintToString(input) << " [" << section << "] " << key;
            ASSERT_EQ(document.GetString(section, key, " d ", 8),
                reference.GetString(section, key, " d ", 8));
        }
    }
    // The lookups by handle give what the lookups by name give.
    std::vector<IniDocument::NamedSection> sections;
    document.ForEachSection(
        [&sections](const IniDocument::NamedSection& section) { sections.push_back(section); });
    for (const IniDocument::NamedSection& section : sections) {
        const std::array<std::string_view, 3> keys{names[0], names[names.size() / 2], names.back()};
        std::array<std::optional<std::string_view>, 3> values;
        document.FindAll(section.handle, keys, values);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            ASSERT_EQ(values[i], reference.Find(section.name, keys[i]));
            ASSERT_EQ(document.Find(section.handle, keys[i]), values[i]);
        }
    }
}

// The same writes on both, checked after each.
void WriteBoth(IniDocument& document, ReferenceIniDocument& reference,
    const std::vector<std::string>& names, std::mt19937& random, const std::string& input)
{
    const auto pick = [&] {
        return names[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(random)];
    };
    for (int step = 0; step < 12; ++step) {
        const std::string section = pick();
        switch (std::uniform_int_distribution(0, 3)(random)) {
        case 0:
            document.DeleteSection(section);
            reference.DeleteSection(section);
            break;
        case 1: {
            // Several keys at once, as a host is written: names that can
            // be written, since AddSection makes the section regardless.
            const std::array<std::string, 4> keys{"k", " K ", "HOST_1", "a"};
            const std::string key1 = keys[std::uniform_int_distribution(0, 3)(random)];
            const std::string key2 = keys[std::uniform_int_distribution(0, 3)(random)];
            const std::string value = RandomText(random).substr(0, 20);
            if (const auto handle = document.AddSection(section)) {
                const std::array<IniDocument::KeyValue, 2> values{{{key1, value}, {key2, "v"}}};
                document.SetAll(*handle, values);
                reference.SetString(section, key1, value);
                reference.SetString(section, key2, "v");
            } else {
                document.SetString(section, key1, value);
                reference.SetString(section, key1, value);
            }
            break;
        }
        default: {
            const std::string key = pick();
            const std::string value = std::uniform_int_distribution(0, 1)(random)
                ? std::string(reference.Find(section, key).value_or(""))
                : RandomText(random).substr(0, 30);
            document.SetString(section, key, value);
            reference.SetString(section, key, value);
        }
        }
        ASSERT_EQ(document.Serialize(), reference.Serialize())
            << testing::PrintToString(input) << " after step " << step;
    }
    ExpectSameDocument(document, reference, names, input);
}

void CompareOn(const std::string& input, std::mt19937& random)
{
    const std::vector<std::string> names = CandidateNames(input);
    IniDocument document = IniDocument::Parse(input);
    ReferenceIniDocument reference = ReferenceIniDocument::Parse(input);
    ExpectSameDocument(document, reference, names, input);
    WriteBoth(document, reference, names, random, input);
}

TEST(IniDocumentDifferentialTest, TheSeedCorpusReadsAndWritesAsBefore)
{
    const std::vector<std::string> corpus = CorpusTexts();
    ASSERT_GE(corpus.size(), 10u);
    std::mt19937 random(1);
    for (const std::string& text : corpus) {
        for (int round = 0; round < 10; ++round) {
            CompareOn(text, random);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(IniDocumentDifferentialTest, GeneratedTextsReadAndWriteAsBefore)
{
    std::mt19937 random(20261209);
    for (int i = 0; i < 2000; ++i) {
        CompareOn(RandomText(random), random);
        if (HasFatalFailure())
            return;
    }
}

// Texts glued from corpus files and generated pieces: sections of the same
// name far apart, and a last line without a break before new sections.
TEST(IniDocumentDifferentialTest, MixedTextsReadAndWriteAsBefore)
{
    const std::vector<std::string> corpus = CorpusTexts();
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        std::string text;
        for (int part = 0; part < 3; ++part) {
            text += std::uniform_int_distribution(0, 1)(random)
                ? corpus[std::uniform_int_distribution<std::size_t>(0, corpus.size() - 1)(random)]
                : RandomText(random);
        }
        CompareOn(text, random);
        if (HasFatalFailure())
            return;
    }
}

// A save mostly writes sections that hold its values already, and SetAll
// tells those apart without looking at their lines. Sections made to hold
// nearly what is written (the same keys and values with a blank more, in
// another case or order, twice, after a comment, with any line break or
// none) must come out as the old parser writes them key by key.
TEST(IniDocumentDifferentialTest, SectionsHoldingNearlyTheValuesWrittenComeOutAsBefore)
{
    const std::vector<std::string> lines{"k=1", "K=1", "k=2", " k=1", "k =1", "k=1 ", "k=\"1\"",
        "k2=x", "k2=", "k2=x=y", "K2=x", "K=2", "k\t=1", "k 1", ";k=1", "k", "=1", "k3=z", "k=1\0"s,
        "[k]=1"};
    const std::vector<std::string> breaks{"\n", "\r\n", "\r"};
    const std::vector<std::array<IniDocument::KeyValue, 2>> writes{{{{"k", "1"}, {"k2", "x"}}},
        {{{"K", "1"}, {"k2", "x"}}}, {{{"k2", "x"}, {"k", "1"}}}, {{{"k", "1"}, {"k", "1"}}},
        {{{"k", "1"}, {"K", "2"}}}, {{{"k", "1\r\nk2=x"}, {"k2", "x"}}},
        {{{"k", "1\0"sv}, {"k2", ""}}}, {{{"k\t", "1"}, {"k2", "x"}}}, {{{" k", "1"}, {"k2", "x"}}},
        {{{"k", "1"}, {"k2", "x=y"}}}};
    std::mt19937 random(16);
    const auto any = [&random](const auto& items) {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
    };
    for (int i = 0; i < 20000; ++i) {
        std::string body;
        const int count = std::uniform_int_distribution(0, 3)(random);
        for (int line = 0; line < count; ++line)
            body += any(lines) + any(breaks);
        // The last section of a file may end without a line break.
        const bool last = std::uniform_int_distribution(0, 1)(random) != 0;
        if (last && !body.empty() && std::uniform_int_distribution(0, 1)(random) != 0)
            body.erase(body.find_last_not_of("\r\n") + 1);
        const std::string text = "[s]" + any(breaks) + body + (last ? "" : "[t]\nk=1\n");
        const auto& write = any(writes);

        IniDocument document = IniDocument::Parse(text);
        ReferenceIniDocument reference = ReferenceIniDocument::Parse(text);
        // A section changed since it was read no longer holds its text.
        if (std::uniform_int_distribution(0, 3)(random) == 0) {
            document.SetString("s", "k", "9");
            reference.SetString("s", "k", "9");
        }
        const auto handle = document.AddSection("s");
        ASSERT_TRUE(handle.has_value());
        document.SetAll(*handle, write);
        for (const IniDocument::KeyValue& keyValue : write)
            reference.SetString("s", keyValue.key, keyValue.value);
        ASSERT_EQ(document.Serialize(), reference.Serialize()) << testing::PrintToString(text);
    }
}

} // namespace
} // namespace pondel
