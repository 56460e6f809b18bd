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

// The 16 x 16 marks of a woken host: still waking (a clock face), and no
// answer in time (a red cross). Drawn here, so that a folder of custom
// active marks leaves them alone.
[[nodiscard]] QPixmap WakingMarkImage();
[[nodiscard]] QPixmap NoAnswerMarkImage();

} // namespace pondel
