#include "TextArena.h"

#include <algorithm>

namespace pondel {

std::string_view TextArena::Store(std::initializer_list<std::string_view> pieces)
{
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    char* target = nullptr;
    if (size > freeSize_) {
        // A text larger than a block gets a block of its own; the current
        // block then keeps its free room for the texts after it.
        if (size > kBlockSize / 4) {
            target = blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(size)).get();
        } else {
            free_ = blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(kBlockSize)).get();
            freeSize_ = kBlockSize;
        }
    }
    if (target == nullptr) {
        target = free_;
        free_ += size;
        freeSize_ -= size;
    }
    char* end = target;
    for (const std::string_view piece : pieces)
        end = std::copy(piece.begin(), piece.end(), end);
    return {target, size};
}

} // namespace pondel
