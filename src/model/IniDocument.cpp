#include "IniDocument.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "AsciiText.h"

namespace pondel {
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

// A name that would not read back as itself once written: a line break or
// NUL would end its line early, ']' would end a section header there, and a
// key's '=' would end the key; a key line starting with ';' is a comment and
// one starting with '[' may read as a section header.
bool IsLineEnd(char c) noexcept
{
    return c == '\r' || c == '\n' || c == '\0';
}

// Plain loops: find_first_of searches its set once per character, which
// costs more than the rest of a write.
bool IsWritableSectionName(std::string_view name) noexcept
{
    return std::ranges::none_of(name, [](char c) { return IsLineEnd(c) || c == ']'; });
}

bool IsWritableKeyName(std::string_view key) noexcept
{
    return std::ranges::none_of(key, [](char c) { return IsLineEnd(c) || c == '='; }) &&
        key.front() != ';' && key.front() != '[';
}

// A value ends at its first CR, LF or NUL.
std::string_view FirstLineOf(std::string_view value) noexcept
{
    return value.substr(
        0, static_cast<std::size_t>(std::ranges::find_if(value, IsLineEnd) - value.begin()));
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

// FNV-1a over the lower-cased bytes, so that names differing only in case
// hash alike.
std::size_t NameHash(std::string_view name) noexcept
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(ToLowerAscii(c));
        hash *= 1099511628211ull;
    }
    // FNV leaves the low bits, which pick the slot, poorly mixed.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 33;
    return static_cast<std::size_t>(hash);
}

// Where the '=' of a key line is, or npos for a blank line, a comment or a
// line without '='.
std::size_t KeyEquals(std::string_view text) noexcept
{
    const std::size_t firstNonBlank = text.find_first_not_of(" \t");
    if (firstNonBlank == std::string_view::npos || text[firstNonBlank] == ';')
        return std::string_view::npos;
    return text.find('=');
}

// The bytes a line scan must stop at: the line breaks and the first '='.
constexpr std::array<bool, 256> kLineStops = [] {
    std::array<bool, 256> stops{};
    stops['\r'] = stops['\n'] = stops['='] = true;
    return stops;
}();

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

// One pass over the text: each line is found, classified and recorded as a
// view, without copying it.
void IniDocument::ParseText(std::string_view text)
{
    if (text.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    // Generous guesses, so that the vectors are not copied as they grow;
    // room that is never used is never touched either.
    lines_.reserve(text.size() / 16 + 16);
    sections_.reserve(text.size() / 64 + 16);
    bool firstBreakSeen = false;
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end) {
        const char* const begin = at;
        while (at < end && IsBlank(*at))
            ++at;
        const char* firstNonBlank = at;
        const char* equals = nullptr;
        for (; at < end; ++at) {
            if (!kLineStops[static_cast<unsigned char>(*at)])
                continue;
            if (*at != '=')
                break;
            if (equals == nullptr)
                equals = at;
        }
        Line line{begin, static_cast<std::size_t>(at - begin)};
        line.inText = true;
        if (at < end) {
            if (*at == '\n') {
                line.lineBreak = LineBreak::Lf;
                at += 1;
            } else if (at + 1 < end && at[1] == '\n') {
                line.lineBreak = LineBreak::CrLf;
                at += 2;
            } else {
                line.lineBreak = LineBreak::Cr;
                at += 1;
            }
            if (!firstBreakSeen) {
                newLineBreak_ = line.lineBreak;
                firstBreakSeen = true;
            }
        }
        const char* const lineEnd = begin + line.size;
        if (firstNonBlank < lineEnd && *firstNonBlank == '[') {
            // Text after the closing bracket does not count.
            const void* close = std::memchr(
                firstNonBlank + 1, ']', static_cast<std::size_t>(lineEnd - firstNonBlank - 1));
            if (close != nullptr) {
                AppendParsedSection(TrimBlanks(std::string_view(
                    firstNonBlank + 1, static_cast<const char*>(close) - firstNonBlank - 1)));
                lines_.push_back(line);
                ++sections_.back().lineCount;
                continue;
            }
        }
        // Comments are no keys, nor are keys before the first section, which
        // are never read.
        if (equals != nullptr && *firstNonBlank != ';' && sections_.size() > 1)
            line.equals = static_cast<std::size_t>(equals - begin);
        lines_.push_back(line);
        ++sections_.back().lineCount;
    }
}

void IniDocument::AppendParsedSection(std::string_view name)
{
    Section& section = sections_.emplace_back();
    section.name = name;
    section.firstLine = lines_.size();
    section.hasHeader = true;
}

void IniDocument::BuildIndex()
{
    std::size_t capacity = 16;
    while (capacity < sections_.size() * 2)
        capacity *= 2;
    slots_.assign(capacity, Slot{});
    indexedNames_ = 0;
    for (std::size_t position = 1; position < sections_.size(); ++position) {
        sections_[position].hash = NameHash(sections_[position].name);
        IndexSection(position);
    }
}

std::size_t IniDocument::FindSlot(std::string_view name, std::size_t hash) const noexcept
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& entry = slots_[slot];
        if (entry.position == kNone ||
            (entry.hash == hash && EqualIgnoringAsciiCase(sections_[entry.position].name, name)))
            return slot;
    }
}

// Adds a section to the index, after the sections of its name before it.
void IniDocument::IndexSection(std::size_t position)
{
    Section& section = sections_[position];
    const std::size_t slot = FindSlot(section.name, section.hash);
    const std::size_t first = slots_[slot].position;
    if (first == kNone || FirstLive(slot) == kNone) {
        // A new name, or one whose sections are all deleted.
        if (first == kNone)
            ++indexedNames_;
        slots_[slot] = Slot{section.hash, position};
        section.lastSameName = position;
        section.counts = true;
        return;
    }
    Section& head = sections_[first];
    sections_[head.lastSameName].nextSameName = position;
    head.lastSameName = position;
}

void IniDocument::GrowIndex()
{
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& entry : old) {
        if (entry.position == kNone)
            continue;
        std::size_t slot = entry.hash & mask;
        while (slots_[slot].position != kNone)
            slot = (slot + 1) & mask;
        slots_[slot] = entry;
    }
}

std::size_t IniDocument::FirstLive(std::size_t slot) const noexcept
{
    std::size_t position = slots_[slot].position;
    while (position != kNone && sections_[position].deleted)
        position = sections_[position].nextSameName;
    return position;
}

std::span<const IniDocument::Line> IniDocument::LinesOf(const Section& section) const noexcept
{
    if (section.ownsLines)
        return section.ownLines;
    return {lines_.data() + section.firstLine, section.lineCount};
}

std::span<IniDocument::Line> IniDocument::LinesOf(Section& section) noexcept
{
    if (section.ownsLines)
        return section.ownLines;
    return {lines_.data() + section.firstLine, section.lineCount};
}

std::span<const IniDocument::Line> IniDocument::BodyOf(const Section& section) const noexcept
{
    return LinesOf(section).subspan(section.hasHeader ? 1 : 0);
}

std::string IniDocument::Serialize() const
{
    std::size_t size = kByteOrderMark.size();
    for (const Section& section : sections_) {
        if (section.deleted)
            continue;
        for (const Line& line : LinesOf(section))
            size += line.size + 2;
    }
    std::string out;
    out.reserve(size);
    if (byteOrderMark_)
        out.append(kByteOrderMark);
    // Lines as read lie one after another in the text with their line
    // breaks; runs of them are copied in one step.
    const char* runBegin = nullptr;
    const char* runEnd = nullptr;
    const auto flushRun = [&] {
        out.append(runBegin, static_cast<std::size_t>(runEnd - runBegin));
        runBegin = runEnd = nullptr;
    };
    // Only the file's last line may lack a line break; lines written after it
    // must not run on from it.
    bool needsBreak = false;
    const std::string_view newLineBreak = NewLineBreak();
    for (const Section& section : sections_) {
        if (section.deleted)
            continue;
        for (const Line& line : LinesOf(section)) {
            if (needsBreak) {
                flushRun();
                out.append(newLineBreak);
            }
            const std::size_t breakSize =
                line.lineBreak == LineBreak::CrLf ? 2 : line.lineBreak == LineBreak::None ? 0 : 1;
            if (line.inText) {
                if (line.data != runEnd) {
                    flushRun();
                    runBegin = line.data;
                }
                runEnd = line.data + line.size + breakSize;
            } else {
                flushRun();
                out.append(line.Text());
                out.append(line.lineBreak == LineBreak::Lf ? "\n"
                        : line.lineBreak == LineBreak::CrLf ? "\r\n"
                        : line.lineBreak == LineBreak::Cr   ? "\r"
                                                            : "");
            }
            needsBreak = line.lineBreak == LineBreak::None;
        }
    }
    flushRun();
    return out;
}

// A new section "[name]" at the end.
std::size_t IniDocument::AppendSection(std::string_view name)
{
    if ((indexedNames_ + 1) * 2 > slots_.size())
        GrowIndex();
    const std::string_view header = arena_.Store({"[", name, "]"});
    Line line{header.data(), header.size()};
    line.lineBreak = newLineBreak_;
    Section& section = sections_.emplace_back();
    section.name = header.substr(1, name.size());
    section.hash = NameHash(name);
    section.hasHeader = true;
    section.ownsLines = true;
    section.ownLines.push_back(line);
    IndexSection(sections_.size() - 1);
    return sections_.size() - 1;
}

std::size_t IniDocument::FindSection(std::string_view section) const noexcept
{
    section = TrimSpaces(section);
    return FirstLive(FindSlot(section, NameHash(section)));
}

const IniDocument::Line* IniDocument::FindKey(const Section& section, std::string_view key) const
{
    for (const Line& line : BodyOf(section)) {
        if (line.IsKey() && EqualIgnoringAsciiCase(line.KeyName(), key))
            return &line;
    }
    return nullptr;
}

std::optional<std::string_view> IniDocument::FindValue(
    const Section& section, std::string_view key) const
{
    key = TrimSpaces(key);
    if (key.empty())
        return std::nullopt;
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return std::nullopt;
    return CutAtNul(Unquoted(TrimBlanks(line->RawValue())));
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

std::optional<std::string_view> IniDocument::Find(
    SectionHandle section, std::string_view key) const
{
    return FindValue(sections_[section.position], key);
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
    std::string_view defaultValue, std::size_t bufferSize) const
{
    const auto value = Find(section, key);
    return std::string(CutTo(value ? *value : StripTrailingSpaces(defaultValue), bufferSize));
}

void IniDocument::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    key = TrimSpaces(key);
    if (key.empty() || !IsWritableKeyName(key))
        return;
    if (const auto target = AddSection(section))
        SetValue(sections_[target->position], key, value);
}

void IniDocument::SetString(SectionHandle section, std::string_view key, std::string_view value)
{
    key = TrimSpaces(key);
    if (key.empty() || !IsWritableKeyName(key))
        return;
    SetValue(sections_[section.position], key, value);
}

std::optional<IniDocument::SectionHandle> IniDocument::AddSection(std::string_view section)
{
    if (!IsWritableSectionName(section))
        return std::nullopt;
    std::size_t position = FindSection(section);
    if (position == kNone)
        position = AppendSection(TrimSpaces(section));
    return SectionHandle{position};
}

// Writes a key whose name has been checked.
void IniDocument::SetValue(Section& section, std::string_view key, std::string_view value)
{
    value = FirstLineOf(value);
    if (const Line* found = FindKey(section, key); found != nullptr) {
        if (found->RawValue() == value)
            return; // a save that changes nothing copies nothing
        const std::span<Line> lines = LinesOf(section);
        Line& line = lines[static_cast<std::size_t>(found - lines.data())];
        const std::string_view text =
            arena_.Store({line.Text().substr(0, line.equals + 1), value});
        line.data = text.data();
        line.size = text.size();
        line.inText = false;
        return;
    }
    const std::string_view text = arena_.Store({key, "=", value});
    Line line{text.data(), text.size()};
    // A key with a leading tab may still read as a comment.
    line.equals = KeyEquals(text);
    line.lineBreak = newLineBreak_;
    InsertKeyLine(section, line);
}

// The line goes after the section's last key, or first when it has none.
void IniDocument::InsertKeyLine(Section& section, const Line& line)
{
    if (!section.ownsLines) {
        const std::span<const Line> lines = LinesOf(section);
        section.ownLines.assign(lines.begin(), lines.end());
        section.ownsLines = true;
    }
    std::vector<Line>& lines = section.ownLines;
    const auto bodyBegin = lines.begin() + (section.hasHeader ? 1 : 0);
    auto after = lines.end();
    while (after != bodyBegin && !(after - 1)->IsKey())
        --after;
    lines.insert(after, line);
}

void IniDocument::DeleteSection(std::string_view section)
{
    section = TrimSpaces(section);
    const std::size_t slot = FindSlot(section, NameHash(section));
    const std::size_t position = FirstLive(slot);
    if (position == kNone)
        return;
    Section& doomed = sections_[position];
    doomed.deleted = true;
    doomed.counts = false;
    std::vector<Line>().swap(doomed.ownLines);
    // The next section of the name takes the lead of the chain; a chain of
    // deleted sections alone keeps its slot until the name comes back.
    if (slots_[slot].position == position && doomed.nextSameName != kNone) {
        sections_[doomed.nextSameName].lastSameName = doomed.lastSameName;
        sections_[doomed.nextSameName].counts = true;
        slots_[slot].position = doomed.nextSameName;
    }
}

bool IniDocument::HasSection(std::string_view section) const
{
    return FindSection(section) != kNone;
}

std::vector<IniDocument::NamedSection> IniDocument::Sections() const
{
    std::vector<NamedSection> sections;
    sections.reserve(indexedNames_);
    for (std::size_t position = 1; position < sections_.size(); ++position) {
        const Section& section = sections_[position];
        if (section.counts)
            sections.push_back({section.name, {position}});
    }
    return sections;
}

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    names.reserve(indexedNames_);
    for (const NamedSection& section : Sections())
        names.emplace_back(section.name);
    return names;
}

std::string_view IniDocument::NewLineBreak() const noexcept
{
    switch (newLineBreak_) {
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Cr:
        return "\r";
    case LineBreak::Lf:
    case LineBreak::None:
        break;
    }
    return "\n";
}

} // namespace pondel
