#include "ReferenceIniDocument.h"

#include <algorithm>
#include <utility>

#include "AsciiText.h"

namespace pondel::test {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) noexcept
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) noexcept
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names handed in by callers lose their spaces only; blanks in the file are
// spaces and tabs.
std::string_view TrimSpaces(std::string_view text) noexcept
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// A tab at either end of a name is trimmed by the reader, though not by
// the writer.
bool HasEdgeTab(std::string_view name) noexcept
{
    return !name.empty() && (name.front() == '\t' || name.back() == '\t');
}

// A name that would not read back as itself once written: a line break or
// NUL would end its line early, ']' would end a section header there, and a
// key's '=' would end the key; a key line starting with ';' is a comment and
// one starting with '[' may read as a section header.
bool IsWritableSectionName(std::string_view name) noexcept
{
    return name.find_first_of(std::string_view("\r\n\0]", 4)) == std::string_view::npos &&
        !HasEdgeTab(TrimSpaces(name));
}

bool IsWritableKeyName(std::string_view key) noexcept
{
    return key.find_first_of(std::string_view("\r\n\0=", 4)) == std::string_view::npos &&
        key.front() != ';' && key.front() != '[' && !HasEdgeTab(key);
}

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

// Splits off the next line and its line break.
struct RawLine {
    std::string_view text;
    std::string_view lineBreak;
};

RawLine NextRawLine(std::string_view& rest) noexcept
{
    const std::size_t end = rest.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        const RawLine line{rest, {}};
        rest = {};
        return line;
    }
    const std::string_view lineBreak = rest[end] == '\n' ? std::string_view("\n")
        : end + 1 < rest.size() && rest[end + 1] == '\n' ? std::string_view("\r\n")
                                                         : std::string_view("\r");
    const RawLine line{rest.substr(0, end), lineBreak};
    rest.remove_prefix(end + lineBreak.size());
    return line;
}

// The trimmed name of a section header line, or none for any other line.
// Text after the closing bracket does not count.
std::optional<std::string_view> SectionHeaderName(std::string_view text) noexcept
{
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    const std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(trimmed.substr(1, close - 1));
}

} // namespace

ReferenceIniDocument::Line ReferenceIniDocument::MakeLine(
    std::string_view text, std::string_view lineBreak)
{
    Line line{std::string(text), lineBreak};
    const std::size_t firstNonBlank = text.find_first_not_of(" \t");
    if (firstNonBlank == std::string_view::npos || text[firstNonBlank] == ';')
        return line; // blank line or comment
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return line;
    const std::string_view key = TrimBlanks(text.substr(0, equals));
    line.kind = Kind::Key;
    line.keyBegin = static_cast<std::size_t>(key.data() - text.data());
    line.keyEnd = line.keyBegin + key.size();
    line.valueBegin = equals + 1;
    return line;
}

ReferenceIniDocument::Line ReferenceIniDocument::MakeKeyLine(
    std::string_view key, std::string_view value, std::string_view lineBreak)
{
    std::string text;
    text.reserve(key.size() + 1 + value.size());
    text.append(key).append(1, '=').append(value);
    return MakeLine(text, lineBreak);
}

ReferenceIniDocument ReferenceIniDocument::Parse(std::string_view text)
{
    ReferenceIniDocument document;
    if (text.starts_with(kByteOrderMark)) {
        document.byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    document.sections_.emplace_back(); // the lines before the first section
    bool firstBreakSeen = false;
    while (!text.empty()) {
        const RawLine raw = NextRawLine(text);
        if (!firstBreakSeen && !raw.lineBreak.empty()) {
            document.newLineBreak_ = raw.lineBreak;
            firstBreakSeen = true;
        }
        if (const auto name = SectionHeaderName(raw.text)) {
            document.AppendSection(*name, Line{std::string(raw.text), raw.lineBreak});
            continue;
        }
        Line line = MakeLine(raw.text, raw.lineBreak);
        if (document.sections_.size() == 1)
            line.kind = Kind::Other; // keys before the first section are never read
        document.sections_.back().lines.push_back(std::move(line));
    }
    return document;
}

std::string ReferenceIniDocument::Serialize() const
{
    std::size_t size = kByteOrderMark.size();
    for (const Section& section : sections_) {
        if (section.deleted)
            continue;
        size += section.header ? section.header->text.size() + 2 : 0;
        for (const Line& line : section.lines)
            size += line.text.size() + 2;
    }
    std::string out;
    out.reserve(size);
    if (byteOrderMark_)
        out.append(kByteOrderMark);
    // Only the file's last line may lack a line break; lines written after it
    // must not run on from it.
    bool needsBreak = false;
    const auto emit = [&](const Line& line) {
        if (needsBreak)
            out.append(newLineBreak_);
        out.append(line.text).append(line.lineBreak);
        needsBreak = line.lineBreak.empty();
    };
    for (const Section& section : sections_) {
        if (section.deleted)
            continue;
        if (section.header)
            emit(*section.header);
        for (const Line& line : section.lines)
            emit(line);
    }
    return out;
}

ReferenceIniDocument::Section& ReferenceIniDocument::AppendSection(
    std::string_view name, std::optional<Line> header)
{
    index_[ToLowerAscii(name)].push_back(sections_.size());
    Section& section = sections_.emplace_back();
    section.name = std::string(name);
    section.header = std::move(header);
    return section;
}

const ReferenceIniDocument::Section* ReferenceIniDocument::FindSection(
    std::string_view section) const
{
    const auto found = index_.find(ToLowerAscii(TrimSpaces(section)));
    if (found == index_.end() || found->second.empty())
        return nullptr;
    return &sections_[found->second.front()];
}

ReferenceIniDocument::Section* ReferenceIniDocument::FindSection(std::string_view section)
{
    return const_cast<Section*>(std::as_const(*this).FindSection(section));
}

const ReferenceIniDocument::Line* ReferenceIniDocument::FindKey(
    const Section& section, std::string_view key) const
{
    for (const Line& line : section.lines) {
        if (line.kind == Kind::Key &&
            EqualIgnoringAsciiCase(
                std::string_view(line.text).substr(line.keyBegin, line.keyEnd - line.keyBegin),
                key))
            return &line;
    }
    return nullptr;
}

std::optional<std::string_view> ReferenceIniDocument::Find(
    std::string_view section, std::string_view key) const
{
    key = TrimSpaces(key);
    if (key.empty())
        return std::nullopt;
    const Section* found = FindSection(section);
    if (found == nullptr)
        return std::nullopt;
    const Line* line = FindKey(*found, key);
    if (line == nullptr)
        return std::nullopt;
    const std::string_view raw = std::string_view(line->text).substr(line->valueBegin);
    return CutAtNul(Unquoted(TrimBlanks(raw)));
}

std::string ReferenceIniDocument::GetString(std::string_view section, std::string_view key,
    std::string_view defaultValue, std::size_t bufferSize) const
{
    const auto value = Find(section, key);
    return std::string(CutTo(value ? *value : StripTrailingSpaces(defaultValue), bufferSize));
}

void ReferenceIniDocument::SetString(
    std::string_view section, std::string_view key, std::string_view value)
{
    key = TrimSpaces(key);
    if (key.empty() || !IsWritableKeyName(key) || !IsWritableSectionName(section))
        return;
    value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
    Section* target = FindSection(section);
    if (target == nullptr) {
        const std::string_view name = TrimSpaces(section);
        std::string header(1, '[');
        header += name;
        header += ']';
        target = &AppendSection(name, MakeLine(header, newLineBreak_));
    }
    for (Line& line : target->lines) {
        if (line.kind == Kind::Key &&
            EqualIgnoringAsciiCase(
                std::string_view(line.text).substr(line.keyBegin, line.keyEnd - line.keyBegin),
                key)) {
            line.text.resize(line.valueBegin);
            line.text.append(value);
            return;
        }
    }
    const auto lastKey = std::find_if(target->lines.rbegin(), target->lines.rend(),
        [](const Line& line) { return line.kind == Kind::Key; });
    target->lines.insert(lastKey.base(), MakeKeyLine(key, value, newLineBreak_));
}

void ReferenceIniDocument::DeleteSection(std::string_view section)
{
    const auto found = index_.find(ToLowerAscii(TrimSpaces(section)));
    if (found == index_.end())
        return;
    Section& doomed = sections_[found->second.front()];
    doomed.deleted = true;
    std::vector<Line>().swap(doomed.lines);
    found->second.erase(found->second.begin());
    if (found->second.empty())
        index_.erase(found);
}

bool ReferenceIniDocument::HasSection(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

std::vector<std::string> ReferenceIniDocument::SectionNames() const
{
    std::vector<std::string> names;
    names.reserve(index_.size());
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        const Section& section = sections_[i];
        if (section.deleted)
            continue;
        const auto& positions = index_.find(ToLowerAscii(section.name))->second;
        if (positions.front() == i)
            names.push_back(section.name);
    }
    return names;
}

std::string_view ReferenceIniDocument::NewLineBreak() const noexcept
{
    return newLineBreak_;
}

} // namespace pondel::test
