#include "IniDocument.h"

#include <algorithm>
#include <utility>

#include "IniDocumentLines.h"
#include "MemoryHints.h"

namespace pondel {

using ini::IsBlank;
using ini::kByteOrderMark;
using ini::TrimSpaces;

namespace {

// A line break or NUL would end a name's line early.
bool IsLineEnd(char c) noexcept
{
    // Names and values are mostly letters, above every byte looked for
    // here, so one comparison settles most bytes.
    return static_cast<unsigned char>(c) <= '\r' && (c == '\r' || c == '\n' || c == '\0');
}

// Callers' names lose their spaces only, but the reader trims tabs too: a
// tab at either end would not read back, and a key line starting with one
// could read as a comment or a section header.
bool HasEdgeTab(std::string_view name) noexcept
{
    return !name.empty() && (name.front() == '\t' || name.back() == '\t');
}

// A name that would not read back as itself once written: besides a line
// end or an edge tab, ']' would end a section header there, and a key's '='
// would end the key; a key line starting with ';' is a comment and one
// starting with '[' may read as a section header. Plain loops:
// find_first_of searches its set once per character, which costs more than
// the rest of a write.
bool IsWritableSectionName(std::string_view name) noexcept
{
    return std::ranges::none_of(name, [](char c) { return IsLineEnd(c) || c == ']'; }) &&
        !HasEdgeTab(TrimSpaces(name));
}

// For a key already trimmed of spaces and not empty.
bool IsWritableKeyName(std::string_view key) noexcept
{
    return std::ranges::none_of(key,
               [](char c) {
                   return static_cast<unsigned char>(c) <= '=' && (IsLineEnd(c) || c == '=');
               }) &&
        key.front() != ';' && key.front() != '[' && !HasEdgeTab(key);
}

} // namespace

void IniDocument::SplitIntoLines(Section& section)
{
    if (section.ownsLines)
        return;
    std::vector<Line> lines;
    if (section.hasHeader) {
        const char* headerEnd = section.bodyBegin;
        while (headerEnd > section.begin && (headerEnd[-1] == '\n' || headerEnd[-1] == '\r'))
            --headerEnd;
        Line header{section.begin, static_cast<std::size_t>(headerEnd - section.begin)};
        header.lineBreak = BreakAt(headerEnd, section.bodyBegin);
        header.inText = true;
        lines.push_back(header);
    }
    VisitBody(section, [&lines](const Line& line) {
        lines.push_back(line);
        return true;
    });
    section.ownLines = std::move(lines);
    section.ownsLines = true;
}

template <typename Visit>
void IniDocument::ForEachPiece(Visit&& visit) const
{
    if (byteOrderMark_ && !visit(kByteOrderMark))
        return;
    // What comes from the text as read lies there in one piece with its line
    // breaks; runs of it are handed on in one piece too.
    const char* runBegin = nullptr;
    const char* runEnd = nullptr;
    const auto flushRun = [&] {
        const std::string_view run(runBegin, static_cast<std::size_t>(runEnd - runBegin));
        runBegin = runEnd = nullptr;
        return run.empty() || visit(run);
    };
    const auto extendRun = [&](const char* begin, const char* end) {
        if (begin == runEnd) {
            runEnd = end;
            return true;
        }
        const bool goOn = flushRun();
        runBegin = begin;
        runEnd = end;
        return goOn;
    };
    const auto hand = [&](std::string_view piece) { return flushRun() && visit(piece); };
    // Only the file's last line may lack a line break; lines written after it
    // must not run on from it.
    bool needsBreak = false;
    const std::string_view newLineBreak = NewLineBreak();
    for (const Section& section : sections_) {
        if (section.deleted)
            continue;
        if (!section.ownsLines) {
            if (section.begin == section.end)
                continue;
            if (!extendRun(section.begin, section.end))
                return;
            needsBreak = section.end[-1] != '\n' && section.end[-1] != '\r';
            continue;
        }
        for (const Line& line : section.ownLines) {
            if (needsBreak && !hand(newLineBreak))
                return;
            const bool goOn = line.inText
                ? extendRun(line.data, line.data + line.size + BreakSize(line.lineBreak))
                : hand(line.Text()) && hand(BreakText(line.lineBreak));
            if (!goOn)
                return;
            needsBreak = line.lineBreak == LineBreak::kNone;
        }
    }
    static_cast<void>(flushRun());
}

std::string IniDocument::Serialize() const
{
    std::size_t size = 0;
    ForEachPiece([&size](std::string_view piece) {
        size += piece.size();
        return true;
    });
    std::string out;
    out.reserve(size);
    PrefaultPages(out.data(), size);
    ForEachPiece([&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return out;
}

std::optional<std::vector<std::string_view>> IniDocument::Pieces(std::size_t maxPieces) const
{
    std::vector<std::string_view> pieces;
    bool tooMany = false;
    ForEachPiece([&](std::string_view piece) {
        tooMany = pieces.size() == maxPieces;
        if (!tooMany)
            pieces.push_back(piece);
        return !tooMany;
    });
    if (tooMany)
        return std::nullopt;
    return pieces;
}

// A new section "[name]" at the end.
std::size_t IniDocument::AppendSection(std::string_view name)
{
    if ((indexedNames_ + 1) * 4 > slots_.size() * 3)
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

// Whether the section as read starts with exactly "key=value" lines of these
// keys in this order, as this program writes it. Such a section holds every
// value already, and telling so takes one comparison of bytes. Every other
// section answers false and is looked at line by line.
bool IniDocument::HoldsExactly(const Section& section, std::span<const KeyValue> keyValues) const
{
    if (section.ownsLines || !section.hasHeader)
        return false;
    for (std::size_t i = 0; i < keyValues.size(); ++i) {
        const std::string_view key = keyValues[i].key;
        // A name that the reader would trim or split, or that an earlier
        // key repeats, is not read back as written.
        if (key.empty() || !IsWritableKeyName(key) || IsBlank(key.front()) || IsBlank(key.back()))
            return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (EqualIgnoringAsciiCase(key, keyValues[j].key))
                return false;
        }
    }
    std::string_view body(
        section.bodyBegin, static_cast<std::size_t>(section.end - section.bodyBegin));
    for (const KeyValue& keyValue : keyValues) {
        const std::string_view value = FirstLineOf(keyValue.value);
        if (body.size() < keyValue.key.size() + 1 + value.size() ||
            !body.starts_with(keyValue.key) || body[keyValue.key.size()] != '=' ||
            body.substr(keyValue.key.size() + 1, value.size()) != value)
            return false;
        body.remove_prefix(keyValue.key.size() + 1 + value.size());
        // The line ends here, with its line break or with the text.
        if (!body.empty() && body.front() != '\n' && body.front() != '\r')
            return false;
        body.remove_prefix(BreakSize(BreakAt(body.data(), body.data() + body.size())));
    }
    return true;
}

void IniDocument::SetAll(SectionHandle section, std::span<const KeyValue> keyValues)
{
    if (HoldsExactly(sections_[section.position], keyValues))
        return;
    // Most saves write what the file holds already; one look at the lines
    // tells so without splitting the section.
    std::size_t unchanged = 0;
    if (keyValues.size() <= kMaxMatchedKeys) {
        MatchNames(
            sections_[section.position], keyValues, [](const KeyValue& pair) { return pair.key; },
            [&](std::size_t i, const Line& line) {
                if (line.RawValue() == FirstLineOf(keyValues[i].value))
                    ++unchanged;
            });
    }
    if (unchanged == keyValues.size())
        return;
    for (const KeyValue& keyValue : keyValues)
        SetString(section, keyValue.key, keyValue.value);
}

// Writes a key whose name has been checked.
void IniDocument::SetValue(Section& section, std::string_view key, std::string_view value)
{
    value = FirstLineOf(value);
    std::optional<std::string_view> raw;
    VisitBody(section, [&](const Line& line) {
        if (!line.IsKey() || !EqualIgnoringAsciiCase(line.KeyName(), key))
            return true;
        raw = line.RawValue();
        return false;
    });
    if (raw && *raw == value)
        return; // a save that changes nothing copies nothing
    SplitIntoLines(section);
    const std::size_t bodyBegin = section.hasHeader ? 1 : 0;
    for (std::size_t i = bodyBegin; i < section.ownLines.size(); ++i) {
        Line& line = section.ownLines[i];
        if (!line.IsKey() || !EqualIgnoringAsciiCase(line.KeyName(), key))
            continue;
        const std::string_view text = arena_.Store({line.Text().substr(0, line.equals + 1), value});
        line.data = text.data();
        line.size = text.size();
        line.inText = false;
        return;
    }
    const std::string_view text = arena_.Store({key, "=", value});
    Line line{text.data(), text.size()};
    // The name is writable: it starts with no blank and holds no '='.
    line.equals = key.size();
    line.lineBreak = newLineBreak_;
    InsertKeyLine(section, line);
}

// The line goes after the section's last key, or first when it has none.
void IniDocument::InsertKeyLine(Section& section, const Line& line)
{
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
    if (slots_[slot].Position() == position && doomed.nextSameName != kNone) {
        sections_[doomed.nextSameName].lastSameName = doomed.lastSameName;
        sections_[doomed.nextSameName].counts = true;
        slots_[slot].position = static_cast<std::uint32_t>(doomed.nextSameName);
    }
}

std::string_view IniDocument::BreakText(LineBreak lineBreak) noexcept
{
    switch (lineBreak) {
    case LineBreak::kLf:
        return "\n";
    case LineBreak::kCrLf:
        return "\r\n";
    case LineBreak::kCr:
        return "\r";
    case LineBreak::kNone:
        break;
    }
    return {};
}

std::string_view IniDocument::NewLineBreak() const noexcept
{
    return newLineBreak_ == LineBreak::kNone ? "\n" : BreakText(newLineBreak_);
}

} // namespace pondel
