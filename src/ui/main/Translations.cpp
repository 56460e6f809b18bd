#include "Translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace pondel {

void InstallTranslations(QCoreApplication& application, const QLocale& locale)
{
    if (locale.language() != QLocale::Japanese)
        return;
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral(":/i18n/pondel_ja.qm")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace pondel
