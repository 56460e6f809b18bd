#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pondel {

// Where lines end in settings text. Lines and values are short and many, so
// eight bytes are tested at a time rather than calling the library's search
// for each, which costs more than the line; a save and a load of a long list
// run these over every byte.

// The first CR or LF, and with kNulEnds also the first NUL, from `at` on,
// or `end`.
template <bool kNulEnds>
[[nodiscard]] inline const char* ScanToLineEnd(const char* at, const char* end) noexcept
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
        // The offset of the first line end in the eight bytes at `from`, or 8.
        const auto firstIn = [](const char* from) -> std::size_t {
            const auto zeroBytes = [](std::uint64_t word) { return (word - kOnes) & ~word; };
            std::uint64_t word = 0;
            std::memcpy(&word, from, sizeof word);
            // The lowest byte that became 0 sets the lowest bit here;
            // higher bits may be set wrongly, never lower ones.
            std::uint64_t found =
                zeroBytes(word ^ (kOnes * '\n')) | zeroBytes(word ^ (kOnes * '\r'));
            if constexpr (kNulEnds)
                found |= zeroBytes(word);
            found &= kHighBits;
            return found == 0 ? sizeof word : static_cast<std::size_t>(std::countr_zero(found)) / 8;
        };
        if (end - at >= 8) {
            for (; end - at >= 8; at += 8) {
                if (const std::size_t offset = firstIn(at); offset < 8)
                    return at + offset;
            }
            // The last few bytes are read with the ones before them, which
            // hold no line end.
            if (at < end) {
                const std::size_t offset = firstIn(end - 8);
                return offset < 8 ? end - 8 + offset : end;
            }
            return at;
        }
    }
    while (at < end && *at != '\n' && *at != '\r' && (!kNulEnds || *at != '\0'))
        ++at;
    return at;
}

// The first CR or LF from `at` on, or `end`.
[[nodiscard]] inline const char* FindLineBreak(const char* at, const char* end) noexcept
{
    return ScanToLineEnd<false>(at, end);
}

// A value written to a line ends at its first CR, LF or NUL: a line break
// would start a new line, and a reader sees nothing after a NUL.
[[nodiscard]] inline std::string_view FirstLineOf(std::string_view value) noexcept
{
    const char* const end = ScanToLineEnd<true>(value.data(), value.data() + value.size());
    return value.substr(0, static_cast<std::size_t>(end - value.data()));
}

} // namespace pondel
