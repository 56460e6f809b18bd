#pragma once

// What IniDocument's reading and writing share: how the reader sees blanks
// and names, and the walks over the lines of a section. Only the document's
// own sources include this.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "AsciiText.h"
#include "IniDocument.h"
#include "LineEnds.h"

namespace pondel::ini {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Blanks in the file are spaces and tabs.
inline bool IsBlank(char c) noexcept
{
    return c == ' ' || c == '\t';
}

inline std::string_view TrimBlanks(std::string_view text) noexcept
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names handed in by callers lose their spaces only.
inline std::string_view TrimSpaces(std::string_view text) noexcept
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

inline bool IsTrimmed(std::string_view name) noexcept
{
    return name.empty() || (name.front() != ' ' && name.back() != ' ');
}

} // namespace pondel::ini

namespace pondel {

template <typename Visit>
void IniDocument::VisitBody(const Section& section, Visit&& visit) const
{
    if (section.ownsLines) {
        for (const Line& line : std::span(section.ownLines).subspan(section.hasHeader ? 1 : 0)) {
            if (!visit(line))
                return;
        }
        return;
    }
    const bool mayHoldKeys = section.hasHeader;
    const char* const end = section.end;
    for (const char* at = section.bodyBegin; at < end;) {
        // One pass finds a key's '=' and the line's end: the name before the
        // '=' is a few bytes, looked at one by one, the rest eight at a time.
        const char* scan = at;
        std::size_t equals = kNone;
        if (mayHoldKeys) {
            while (scan < end && ini::IsBlank(*scan))
                ++scan;
            if (scan < end && *scan != ';') {
                while (scan < end && *scan != '=' && *scan != '\n' && *scan != '\r')
                    ++scan;
                if (scan < end && *scan == '=')
                    equals = static_cast<std::size_t>(scan - at);
            }
        }
        const char* const lineEnd = FindLineBreak(scan, end);
        Line line{at, static_cast<std::size_t>(lineEnd - at)};
        line.equals = equals;
        line.lineBreak = BreakAt(lineEnd, end);
        line.inText = true;
        at = lineEnd + BreakSize(line.lineBreak);
        if (!visit(line))
            return;
    }
}

template <typename KeyAt, typename Found>
void IniDocument::MatchKeys(
    const Section& section, std::size_t count, KeyAt&& keyAt, Found&& found) const
{
    // Names that are empty once trimmed are never found.
    std::uint64_t seen = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (keyAt(i).empty())
            seen |= std::uint64_t{1} << i;
    }
    const std::uint64_t all = (std::uint64_t{1} << count) - 1;
    if (seen == all)
        return;
    // Sections this program wrote hold their keys in the order they are
    // asked for: the key after the last one found is tried first. It is the
    // first key of its name not yet found when every key before it has been
    // found; otherwise the names are searched from the first.
    std::size_t expected = 0;
    VisitBody(section, [&](const Line& line) {
        if (!line.IsKey())
            return true;
        const std::string_view name = line.KeyName();
        std::size_t i = expected;
        const bool tryExpected = i < count &&
            (seen & ((std::uint64_t{1} << i) - 1)) == (std::uint64_t{1} << i) - 1 &&
            ((seen >> i) & 1) == 0;
        if (!tryExpected || !EqualIgnoringAsciiCase(name, keyAt(i))) {
            i = 0;
            while (i < count && (((seen >> i) & 1) != 0 || !EqualIgnoringAsciiCase(name, keyAt(i))))
                ++i;
            if (i == count)
                return true;
        }
        expected = i + 1;
        // A name asked for twice gets the same line both times.
        for (std::size_t j = i; j < count; ++j) {
            if (((seen >> j) & 1) == 0 && (j == i || EqualIgnoringAsciiCase(name, keyAt(j)))) {
                seen |= std::uint64_t{1} << j;
                found(j, line);
            }
        }
        return seen != all;
    });
}

template <typename Names, typename NameOf, typename Found>
void IniDocument::MatchNames(
    const Section& section, const Names& names, NameOf&& nameOf, Found&& found) const
{
    // Names as the program spells them need no trimming at every line.
    if (std::ranges::all_of(
            names, [&nameOf](const auto& name) { return ini::IsTrimmed(nameOf(name)); }))
        MatchKeys(
            section, names.size(), [&](std::size_t i) { return nameOf(names[i]); }, found);
    else
        MatchKeys(
            section, names.size(), [&](std::size_t i) { return ini::TrimSpaces(nameOf(names[i])); },
            found);
}

} // namespace pondel
