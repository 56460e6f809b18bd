#include "VersionBox.h"

#include <string>

#include <QCoreApplication>

#include "ModalSeam.h"
#include "ConsoleCommands.h"
#include "VersionInfo.h"

namespace pondel {

QString ProgramVersionText()
{
    return QString::fromStdString(VersionText());
}

void ShowVersionBox(QWidget* parent)
{
    std::string copyright;
    (void)GetVersionString("LegalCopyright", copyright);
    ModalSeam::About(parent, QCoreApplication::translate("VersionBox", "Version Info"),
        ProgramVersionText() + QLatin1Char('\n') + QString::fromStdString(copyright));
}

} // namespace pondel
