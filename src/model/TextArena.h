#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace pondel {

// Append-only storage for many small texts. A stored text keeps its address
// for the arena's life, also when the arena is moved, so views of it stay
// valid; nothing is freed before the whole arena goes, in a few large blocks.
class TextArena final {
public:
    TextArena() = default;
    TextArena(TextArena&&) noexcept = default;
    TextArena& operator=(TextArena&&) noexcept = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // Stores the pieces one after another as one text.
    [[nodiscard]] std::string_view Store(std::initializer_list<std::string_view> pieces);

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    std::size_t freeSize_ = 0;
};

} // namespace pondel
