#pragma once

#include <QString>

class QWidget;

namespace pondel {

// "Vexmoor Ver.3.02" from the version data, or the product name alone when
// the version numbers cannot be read.
[[nodiscard]] QString ProgramVersionText();

// A small box with the program's version, until the full version dialog
// takes its place.
void ShowVersionBox(QWidget* parent);

} // namespace pondel
