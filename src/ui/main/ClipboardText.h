#pragma once

#include <optional>

#include <QString>

namespace pondel {

// The system clipboard's plain text. Placing text can fail without Qt
// saying so (another program may hold the clipboard), so the text is read
// back to see whether it arrived. Tests can make the next placing fail.
class ClipboardText final {
public:
    ClipboardText() = delete;

    // Whether the clipboard now holds the text; an empty text is never placed.
    [[nodiscard]] static bool Put(const QString& text);
    // None when the clipboard holds no text, or an empty one.
    [[nodiscard]] static std::optional<QString> Get();

    // Test hook: the next Put leaves the clipboard alone and fails.
    static void FailNextPut();
};

} // namespace pondel
