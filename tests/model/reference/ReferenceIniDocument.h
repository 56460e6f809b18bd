#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pondel::test {

// The first, straightforward INI document (a string per line, a map of
// lower-cased names), kept unchanged as the reference that the faster one is
// compared with. It is built into tests only.
//
// An INI text held in memory with the reading and writing rules of the
// Windows private-profile functions, which the settings file has always been
// written with:
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
// Sections are indexed by their lower-cased name, so a lookup costs the same
// in a file of sixty thousand sections as in a file of three.
class ReferenceIniDocument final {
public:
    // Line breaks may be CR LF, LF or CR, even mixed. Never fails: text that
    // is not INI is kept as lines that mean nothing.
    [[nodiscard]] static ReferenceIniDocument Parse(std::string_view text);

    [[nodiscard]] std::string Serialize() const;

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
    // holding CR, LF, NUL or '=', or starting with ';' or '['.
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    // Removes the first section of that name with all its lines. Later
    // sections of the same name then become the one that counts.
    void DeleteSection(std::string_view section);

    [[nodiscard]] bool HasSection(std::string_view section) const;

    // The names (trimmed, as spelt in the file) of the sections that count,
    // one per name regardless of case, in file order.
    [[nodiscard]] std::vector<std::string> SectionNames() const;

    // The line break that new lines get: that of the file's first line, or
    // LF for a text without any.
    [[nodiscard]] std::string_view NewLineBreak() const noexcept;

private:
    enum class Kind : std::uint8_t {
        Other,
        Key
    };

    struct Line {
        std::string text;           // without its line break
        std::string_view lineBreak; // "", "\n", "\r\n" or "\r"
        Kind kind = Kind::Other;
        // Trimmed key and raw value ranges of a key line, offsets into text.
        std::size_t keyBegin = 0;
        std::size_t keyEnd = 0;
        std::size_t valueBegin = 0;
    };

    struct Section {
        std::string name; // trimmed; empty for the lines before the first section
        std::optional<Line> header;
        std::vector<Line> lines;
        bool deleted = false;
    };

    [[nodiscard]] static Line MakeLine(std::string_view text, std::string_view lineBreak);
    [[nodiscard]] static Line MakeKeyLine(
        std::string_view key, std::string_view value, std::string_view lineBreak);

    [[nodiscard]] const Section* FindSection(std::string_view section) const;
    [[nodiscard]] Section* FindSection(std::string_view section);
    [[nodiscard]] const Line* FindKey(const Section& section, std::string_view key) const;
    Section& AppendSection(std::string_view name, std::optional<Line> header);

    std::vector<Section> sections_; // sections_[0] holds the lines before the first section
    // Lower-cased name -> positions in sections_ of the live sections of that name, in file order.
    std::unordered_map<std::string, std::vector<std::size_t>> index_;
    std::string_view newLineBreak_ = "\n";
    bool byteOrderMark_ = false;
};

} // namespace pondel::test
