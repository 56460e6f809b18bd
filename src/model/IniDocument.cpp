#include "IniDocument.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "IniDocumentLines.h"
#include "MemoryHints.h"

namespace pondel {

using ini::IsBlank;
using ini::kByteOrderMark;
using ini::TrimBlanks;
using ini::TrimSpaces;

namespace {

std::string_view Unquoted(std::string_view value) noexcept
{
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view StripTrailingSpaces(std::string_view text) noexcept
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string_view CutTo(std::string_view text, std::size_t bufferSize) noexcept
{
    return bufferSize == 0 ? std::string_view{}
                           : text.substr(0, std::min(text.size(), bufferSize - 1));
}

// A value as read: trimmed, one pair of quotes removed, ended at a NUL.
// Values are short, where a loop costs less than the library's search.
std::string_view ValueOf(std::string_view raw) noexcept
{
    const std::string_view value = Unquoted(TrimBlanks(raw));
    std::size_t size = 0;
    while (size < value.size() && value[size] != '\0')
        ++size;
    return value.substr(0, size);
}

} // namespace

std::string_view IniDocument::Line::KeyName() const noexcept
{
    return TrimBlanks(Text().substr(0, equals));
}

std::string_view IniDocument::Line::RawValue() const noexcept
{
    return Text().substr(equals + 1);
}

IniDocument::IniDocument()
{
    sections_.emplace_back(); // the lines before the first section
    BuildIndex();
}

IniDocument IniDocument::Parse(std::string_view text)
{
    return ParseOwned(std::string(text));
}

IniDocument IniDocument::ParseOwned(std::string text)
{
    IniDocument document;
    document.text_ = std::make_unique<const std::string>(std::move(text));
    document.ParseText(*document.text_);
    document.BuildIndex();
    return document;
}

IniDocument::LineBreak IniDocument::BreakAt(const char* at, const char* end) noexcept
{
    if (at == end)
        return LineBreak::kNone;
    if (*at == '\n')
        return LineBreak::kLf;
    return at + 1 < end && at[1] == '\n' ? LineBreak::kCrLf : LineBreak::kCr;
}

std::size_t IniDocument::BreakSize(LineBreak lineBreak) noexcept
{
    return lineBreak == LineBreak::kCrLf ? 2 : lineBreak == LineBreak::kNone ? 0 : 1;
}

// One pass over the text that finds the section headers; the lines between
// them are split only when their section is read or written.
void IniDocument::ParseText(std::string_view text)
{
    if (text.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    const char* at = text.data();
    const char* const end = at + text.size();
    // A generous guess, so that the vector is not copied as it grows.
    sections_.reserve(text.size() / 64 + 16);
    PrepareToFill(sections_.data() + sections_.size(),
        (sections_.capacity() - sections_.size()) * sizeof(Section));
    sections_[0].begin = sections_[0].bodyBegin = at;
    bool firstBreakSeen = false;
    while (at < end) {
        const char* const begin = at;
        const char* const lineEnd = FindLineBreak(at, end);
        const LineBreak lineBreak = BreakAt(lineEnd, end);
        at = lineEnd + BreakSize(lineBreak);
        if (!firstBreakSeen && lineBreak != LineBreak::kNone) {
            newLineBreak_ = lineBreak;
            firstBreakSeen = true;
        }
        const char* first = begin;
        while (first < lineEnd && IsBlank(*first))
            ++first;
        if (first == lineEnd || *first != '[')
            continue;
        // Text after the closing bracket does not count.
        const void* close =
            std::memchr(first + 1, ']', static_cast<std::size_t>(lineEnd - first - 1));
        if (close == nullptr)
            continue;
        sections_.back().end = begin;
        Section& section = sections_.emplace_back();
        section.name =
            TrimBlanks(std::string_view(first + 1, static_cast<const char*>(close) - first - 1));
        section.begin = begin;
        section.bodyBegin = at;
        section.hasHeader = true;
    }
    sections_.back().end = end;
}

std::optional<std::string_view> IniDocument::FindValue(
    const Section& section, std::string_view key) const
{
    key = TrimSpaces(key);
    if (key.empty())
        return std::nullopt;
    std::optional<std::string_view> value;
    VisitBody(section, [&](const Line& line) {
        if (!line.IsKey() || !EqualIgnoringAsciiCase(line.KeyName(), key))
            return true;
        value = ValueOf(line.RawValue());
        return false;
    });
    return value;
}

void IniDocument::FindAll(SectionHandle section, std::span<const std::string_view> keys,
    std::span<std::optional<std::string_view>> values) const
{
    std::ranges::fill(values, std::nullopt);
    if (keys.size() > kMaxMatchedKeys) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            values[i] = Find(section, keys[i]);
        return;
    }
    MatchNames(
        sections_[section.position], keys, [](std::string_view key) { return key; },
        [values](std::size_t i, const Line& line) { values[i] = ValueOf(line.RawValue()); });
}

std::optional<std::string_view> IniDocument::Find(
    std::string_view section, std::string_view key) const
{
    if (TrimSpaces(key).empty())
        return std::nullopt;
    const std::size_t position = FindSection(section);
    if (position == kNone)
        return std::nullopt;
    return FindValue(sections_[position], key);
}

std::optional<std::string_view> IniDocument::Find(SectionHandle section, std::string_view key) const
{
    return FindValue(sections_[section.position], key);
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
    std::string_view defaultValue, std::size_t bufferSize) const
{
    const auto value = Find(section, key);
    return std::string(CutTo(value ? *value : StripTrailingSpaces(defaultValue), bufferSize));
}

bool IniDocument::HasSection(std::string_view section) const
{
    return FindSection(section) != kNone;
}

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    names.reserve(indexedNames_);
    ForEachSection([&names](const NamedSection& section) { names.emplace_back(section.name); });
    return names;
}

} // namespace pondel
