#include "VersionBox.h"

#include "ConsoleCommands.h"

namespace pondel {

QString ProgramVersionText()
{
    return QString::fromStdString(VersionText());
}

} // namespace pondel
