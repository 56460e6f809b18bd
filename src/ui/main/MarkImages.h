#pragma once

#include <filesystem>
#include <span>

#include <QPixmap>

#include "AppSettings.h"

namespace pondel {

struct MarkImages {
    QPixmap inactive;
    QPixmap active;
};

// The 16 x 16 active marks. "active.bmp" and "inactive.bmp" replace the
// built-in images when both are present in one of the folders, the first
// such folder winning, with maskColor made transparent; a file that cannot
// be decoded gives way to its built-in image.
[[nodiscard]] MarkImages LoadMarkImages(
    std::span<const std::filesystem::path> folders, ColorValue maskColor);

} // namespace pondel
