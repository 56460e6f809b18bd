#pragma once

#include <QColor>

#include "AppSettings.h"

namespace pondel {

// The settings keep colours with red in the low byte; Qt wants QColor.
[[nodiscard]] inline QColor ToQColor(ColorValue value)
{
    return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
        static_cast<int>((value >> 16) & 0xFFU));
}

[[nodiscard]] inline ColorValue ToColorValue(const QColor& color)
{
    return MakeColor(static_cast<std::uint8_t>(color.red()),
        static_cast<std::uint8_t>(color.green()), static_cast<std::uint8_t>(color.blue()));
}

} // namespace pondel
