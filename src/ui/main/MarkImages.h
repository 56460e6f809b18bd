#pragma once

#include <filesystem>

#include <QPixmap>

#include "AppSettings.h"

namespace pondel {

struct MarkImages {
    QPixmap inactive;
    QPixmap active;
};

// The 16 x 16 active marks. "active.bmp" and "inactive.bmp" in folder replace
// the built-in images when both are present, with maskColor made
// transparent; a file that cannot be decoded gives way to its built-in image.
[[nodiscard]] MarkImages LoadMarkImages(const std::filesystem::path& folder, ColorValue maskColor);

} // namespace pondel
