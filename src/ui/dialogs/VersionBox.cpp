#include "VersionBox.h"

#include <cstdint>
#include <string>

#include <QCoreApplication>

#include "ModalSeam.h"
#include "VersionInfo.h"

namespace pondel {

QString ProgramVersionText()
{
    std::string product;
    (void)GetVersionString("ProductName", product);
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    if (!GetFileVersionNumbers(&major, &minor, nullptr, nullptr))
        return QString::fromStdString(product);
    return QString::asprintf("%s Ver.%u.%02u", product.c_str(), unsigned{major}, unsigned{minor});
}

void ShowVersionBox(QWidget* parent)
{
    std::string copyright;
    (void)GetVersionString("LegalCopyright", copyright);
    ModalSeam::About(parent, QCoreApplication::translate("VersionBox", "Version Info"),
        ProgramVersionText() + QLatin1Char('\n') + QString::fromStdString(copyright));
}

} // namespace pondel
