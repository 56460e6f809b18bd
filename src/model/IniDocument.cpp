#include "IniDocument.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "AsciiText.h"
#include "LineEnds.h"
#include "MemoryHints.h"

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

bool IsTrimmed(std::string_view name) noexcept
{
    return name.empty() || (name.front() != ' ' && name.back() != ' ');
}

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
               [](char c) { return static_cast<unsigned char>(c) <= '=' && (IsLineEnd(c) || c == '='); }) &&
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

std::uint32_t Fingerprint(std::size_t hash) noexcept
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
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
        return LineBreak::None;
    if (*at == '\n')
        return LineBreak::Lf;
    return at + 1 < end && at[1] == '\n' ? LineBreak::CrLf : LineBreak::Cr;
}

std::size_t IniDocument::BreakSize(LineBreak lineBreak) noexcept
{
    return lineBreak == LineBreak::CrLf ? 2 : lineBreak == LineBreak::None ? 0 : 1;
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
        if (!firstBreakSeen && lineBreak != LineBreak::None) {
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

void IniDocument::BuildIndex()
{
    // At most three quarters full, where linear probing stays short.
    std::size_t capacity = 16;
    while (capacity * 3 < sections_.size() * 4)
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
        if (entry.position == Slot::kFree ||
            (entry.fingerprint == Fingerprint(hash) &&
                EqualIgnoringAsciiCase(sections_[entry.position].name, name)))
            return slot;
    }
}

// Adds a section to the index, after the sections of its name before it.
void IniDocument::IndexSection(std::size_t position)
{
    Section& section = sections_[position];
    const std::size_t slot = FindSlot(section.name, section.hash);
    const std::size_t first = slots_[slot].Position();
    if (first == kNone || FirstLive(slot) == kNone) {
        // A new name, or one whose sections are all deleted.
        if (first == kNone)
            ++indexedNames_;
        slots_[slot] = Slot{Fingerprint(section.hash), static_cast<std::uint32_t>(position)};
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
        if (entry.position == Slot::kFree)
            continue;
        std::size_t slot = sections_[entry.position].hash & mask;
        while (slots_[slot].position != Slot::kFree)
            slot = (slot + 1) & mask;
        slots_[slot] = entry;
    }
}

std::size_t IniDocument::FirstLive(std::size_t slot) const noexcept
{
    std::size_t position = slots_[slot].Position();
    while (position != kNone && sections_[position].deleted)
        position = sections_[position].nextSameName;
    return position;
}

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
            while (scan < end && IsBlank(*scan))
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
void IniDocument::MatchKeys(const Section& section, std::size_t count, KeyAt&& keyAt, Found&& found) const
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
    if (std::ranges::all_of(names, [&nameOf](const auto& name) { return IsTrimmed(nameOf(name)); }))
        MatchKeys(section, names.size(), [&](std::size_t i) { return nameOf(names[i]); }, found);
    else
        MatchKeys(section, names.size(),
            [&](std::size_t i) { return TrimSpaces(nameOf(names[i])); }, found);
}

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
            needsBreak = line.lineBreak == LineBreak::None;
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

std::size_t IniDocument::FindSection(std::string_view section) const noexcept
{
    section = TrimSpaces(section);
    return FirstLive(FindSlot(section, NameHash(section)));
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
    MatchNames(sections_[section.position], keys, [](std::string_view key) { return key; },
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
    std::string_view body(section.bodyBegin, static_cast<std::size_t>(section.end - section.bodyBegin));
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
        MatchNames(sections_[section.position], keyValues,
            [](const KeyValue& pair) { return pair.key; },
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

std::string_view IniDocument::BreakText(LineBreak lineBreak) noexcept
{
    switch (lineBreak) {
    case LineBreak::Lf:
        return "\n";
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Cr:
        return "\r";
    case LineBreak::None:
        break;
    }
    return {};
}

std::string_view IniDocument::NewLineBreak() const noexcept
{
    return newLineBreak_ == LineBreak::None ? "\n" : BreakText(newLineBreak_);
}

} // namespace pondel
