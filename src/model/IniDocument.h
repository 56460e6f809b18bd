#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "TextArena.h"

namespace pondel {

// An INI text held in memory, read and written by the rules of the
// Windows private-profile functions, which the settings file follows:
// - section and key names match without regard to ASCII case, and blanks
//   around names and values do not count;
// - only the first section of a name, and in it the first key of a name, count;
// - a value loses one pair of surrounding " or ' quotes when read;
// - "key=" is a key with an empty value, not a missing one;
// - a default handed back for a missing key loses its trailing spaces.
// Writes change the text in place: an existing key keeps its position and
// its spelling, a new key follows the last key of its section, a new section
// goes to the end. Every other line (comments, lines before the first
// section, lines that are neither section nor key) is kept byte for byte, as
// are each line's own line break and a UTF-8 byte-order mark.
//
// The text is held once, as read; lines are views into it, and only lines
// that a write changes or adds get storage of their own. Sections are
// indexed by name once, after reading, so a lookup costs the same in a file
// of sixty thousand sections as in a file of three, and reading, writing
// and dropping a large file take a few allocations rather than one per line.
class IniDocument final {
public:
    // Line breaks may be CR LF, LF or CR, even mixed. Never fails: text that
    // is not INI is kept as lines that mean nothing.
    [[nodiscard]] static IniDocument Parse(std::string_view text);
    // Parse without a copy: the document keeps the text itself.
    [[nodiscard]] static IniDocument ParseOwned(std::string text);

    // An empty document, as an empty text gives.
    IniDocument();
    IniDocument(IniDocument&&) noexcept = default;
    IniDocument& operator=(IniDocument&&) noexcept = default;
    // Its lines are views into its own storage; a copy would share it.
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    [[nodiscard]] std::string Serialize() const;
    // The text Serialize gives, as views into the document's own storage in
    // their order, so that it can be written out without being copied into
    // one block first; none when that takes more than maxPieces views. The
    // views last until the document next changes.
    [[nodiscard]] std::optional<std::vector<std::string_view>> Pieces(std::size_t maxPieces) const;

    // The value of a key as read: trimmed, one pair of quotes removed, and
    // ended at a NUL byte as a C string would be. Empty when the key is
    // present with nothing after "="; none when the section or key is missing
    // or the key name is empty.
    [[nodiscard]] std::optional<std::string_view> Find(
        std::string_view section, std::string_view key) const;

    // Find with a caller's buffer of bufferSize characters: the value, or the
    // default without its trailing spaces, cut to bufferSize - 1.
    [[nodiscard]] std::string GetString(std::string_view section, std::string_view key,
        std::string_view defaultValue, std::size_t bufferSize) const;

    // Writes a value verbatim, creating the section or key when missing. A
    // value ends at its first CR, LF or NUL: a line break in a value would
    // otherwise start new lines of the file, and the reader sees no further.
    // Names that would read back as something else are refused and nothing
    // is written: a section name holding CR, LF, NUL or ']', a key name
    // holding CR, LF, NUL or '=', or starting with ';' or '[', and either
    // with a tab at its start or end.
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    // Removes the first section of that name with all its lines. Later
    // sections of the same name then become the one that counts.
    void DeleteSection(std::string_view section);

    [[nodiscard]] bool HasSection(std::string_view section) const;

    // The names (trimmed, as spelt in the file) of the sections that count,
    // one per name regardless of case, in file order.
    [[nodiscard]] std::vector<std::string> SectionNames() const;

    // The section that counts for a name, held so that many keys can be
    // read or written with one lookup of the name. It stays valid, and
    // names the same section, until that section is deleted.
    struct SectionHandle {
        std::size_t position = 0;
    };
    struct NamedSection {
        std::string_view name; // valid as long as the document
        SectionHandle handle;
    };

    // No fewer than the names SectionNames gives (deleted names may still
    // count): room to reserve for them.
    [[nodiscard]] std::size_t SectionCountBound() const noexcept { return indexedNames_; }
    // The sections SectionNames names, with their handles, one by one.
    template <typename Visit>
    void ForEachSection(Visit&& visit) const
    {
        for (std::size_t position = 1; position < sections_.size(); ++position) {
            if (sections_[position].counts)
                visit(NamedSection{sections_[position].name, {position}});
        }
    }
    // The section that counts for the name, made at the end when missing;
    // none for a name that SetString would refuse.
    [[nodiscard]] std::optional<SectionHandle> AddSection(std::string_view section);
    // Find and SetString in a section already looked up.
    [[nodiscard]] std::optional<std::string_view> Find(
        SectionHandle section, std::string_view key) const;
    void SetString(SectionHandle section, std::string_view key, std::string_view value);
    // Values of several keys in one pass over the section; none for those
    // missing.
    void FindAll(SectionHandle section, std::span<const std::string_view> keys,
        std::span<std::optional<std::string_view>> values) const;
    // SetString of each key in turn, skipping, in one pass, a section that
    // holds every key with its value already.
    struct KeyValue {
        std::string_view key;
        std::string_view value;
    };
    void SetAll(SectionHandle section, std::span<const KeyValue> keyValues);

    // The line break that new lines get: that of the file's first line, or
    // LF for a text without any.
    [[nodiscard]] std::string_view NewLineBreak() const noexcept;

private:
    enum class LineBreak : std::uint8_t {
        kNone,
        kLf,
        kCrLf,
        kCr
    };

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Line {
        const char* data = nullptr; // in text_ or arena_
        std::size_t size = 0;       // without the line break
        // Position of the '=' of a key line; kNone for every other line.
        std::size_t equals = kNone;
        LineBreak lineBreak = LineBreak::kNone;
        // Read from text_, where the line break follows the text.
        bool inText = false;

        [[nodiscard]] std::string_view Text() const noexcept { return {data, size}; }
        [[nodiscard]] bool IsKey() const noexcept { return equals != kNone; }
        [[nodiscard]] std::string_view KeyName() const noexcept;
        [[nodiscard]] std::string_view RawValue() const noexcept;
    };

    struct Section {
        std::string_view name; // trimmed; empty for the lines before the first section
        std::size_t hash = 0;  // of the name, without case
        // A section as read is its bytes in text_, header and line breaks
        // included; its lines are looked at only when a key is looked up.
        // A write that changes it first splits it into ownLines.
        const char* begin = nullptr;
        const char* bodyBegin = nullptr; // after the header line
        const char* end = nullptr;
        std::vector<Line> ownLines; // the header first where there is one
        bool ownsLines = false;
        bool hasHeader = false;
        bool deleted = false;
        // Not deleted, and no section of the same name before it is: the
        // section that counts for its name.
        bool counts = false;
        // The sections of the same name in file order: the next one, and in
        // the first of them the last one.
        std::size_t nextSameName = kNone;
        std::size_t lastSameName = kNone;
    };

    // The line break that starts at `at` (None at end).
    [[nodiscard]] static LineBreak BreakAt(const char* at, const char* end) noexcept;
    [[nodiscard]] static std::size_t BreakSize(LineBreak lineBreak) noexcept;
    [[nodiscard]] static std::string_view BreakText(LineBreak lineBreak) noexcept;

    // Calls visit(line) for each line after the header, in order, until it
    // returns false. Lines before the first section are never keys.
    template <typename Visit>
    void VisitBody(const Section& section, Visit&& visit) const;
    // Calls visit(piece) for each piece of the text in order, until it
    // returns false.
    template <typename Visit>
    void ForEachPiece(Visit&& visit) const;
    void SplitIntoLines(Section& section);

    // Calls found(i, line) for the first key line of each name keyAt(i),
    // i below count, in one pass over the section, which ends once every
    // name is found. keyAt gives trimmed names. Callers ask for a handful
    // of keys; longer lists are read or written key by key.
    static constexpr std::size_t kMaxMatchedKeys = 16;
    template <typename KeyAt, typename Found>
    void MatchKeys(const Section& section, std::size_t count, KeyAt&& keyAt, Found&& found) const;
    // MatchKeys over the names nameOf gives of the caller's items, trimmed of
    // spaces where they need it.
    template <typename Names, typename NameOf, typename Found>
    void MatchNames(
        const Section& section, const Names& names, NameOf&& nameOf, Found&& found) const;

    void ParseText(std::string_view text);

    [[nodiscard]] std::size_t FindSection(std::string_view section) const noexcept;
    [[nodiscard]] std::optional<std::string_view> FindValue(
        const Section& section, std::string_view key) const;
    [[nodiscard]] bool HoldsExactly(
        const Section& section, std::span<const KeyValue> keyValues) const;
    void SetValue(Section& section, std::string_view key, std::string_view value);
    std::size_t AppendSection(std::string_view name);
    void InsertKeyLine(Section& section, const Line& line);

    // The name index: open addressing over slots_, each holding the position
    // of the first section of one name and part of the name's hash, so that
    // a probe reads no section but the one it finds. Slots are small, so
    // that the index of a large file stays in the processor's caches.
    struct Slot {
        static constexpr std::uint32_t kFree = 0xFFFFFFFF;
        std::uint32_t fingerprint = 0; // the hash's upper half
        // A file would need more memory than there is for four billion
        // sections.
        std::uint32_t position = kFree;

        [[nodiscard]] std::size_t Position() const noexcept
        {
            return position == kFree ? kNone : position;
        }
    };

    // FNV-1a over the lower-cased bytes, so that names differing only in
    // case hash alike.
    [[nodiscard]] static std::size_t NameHash(std::string_view name) noexcept;
    void BuildIndex();
    void IndexSection(std::size_t position);
    void GrowIndex();
    [[nodiscard]] std::size_t FindSlot(std::string_view name, std::size_t hash) const noexcept;
    // The first section of the slot's name that is not deleted, or kNone.
    [[nodiscard]] std::size_t FirstLive(std::size_t slot) const noexcept;

    std::unique_ptr<const std::string> text_;
    TextArena arena_;
    std::vector<Section> sections_; // sections_[0] holds the lines before the first section
    std::vector<Slot> slots_;
    std::size_t indexedNames_ = 0;
    LineBreak newLineBreak_ = LineBreak::kLf;
    bool byteOrderMark_ = false;
};

} // namespace pondel
