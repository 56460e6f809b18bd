#pragma once

#include <QLocale>

class QCoreApplication;

namespace pondel {

// Japanese texts for a Japanese locale, the English source texts otherwise.
void InstallTranslations(QCoreApplication& application, const QLocale& locale);

} // namespace pondel
