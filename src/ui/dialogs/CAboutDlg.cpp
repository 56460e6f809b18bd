#include "CAboutDlg.h"

#include <string>

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "VersionBox.h"
#include "VersionInfo.h"

namespace pondel {

CAboutDlg::CAboutDlg(const std::filesystem::path& settingsPath, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("Version Info"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    // The main window's icon, which the dialog takes over from its parent.
    icon->setPixmap(windowIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    versionLabel_ = new QLabel(ProgramVersionText(), this);
    versionLabel_->setObjectName(QStringLiteral("versionLabel"));
    QFont bold = versionLabel_->font();
    bold.setBold(true);
    versionLabel_->setFont(bold);

    std::string copyright;
    auto* copyrightLabel = new QLabel(GetVersionString("LegalCopyright", copyright) != 0
            ? QString::fromStdString(copyright)
            : tr("Copyright (C)"),
        this);
    copyrightLabel->setObjectName(QStringLiteral("copyrightLabel"));

    const QString settingsFile =
        QDir::toNativeSeparators(QString::fromStdString(settingsPath.string()));
    auto* settingsFileLabel = new QLabel(tr("Settings file: %1").arg(settingsFile), this);
    settingsFileLabel->setObjectName(QStringLiteral("settingsFileLabel"));
    settingsFileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    settingsFileLabel->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(versionLabel_);
    texts->addWidget(copyrightLabel);
    texts->addSpacing(8);
    texts->addWidget(settingsFileLabel);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(buttons);
    setMinimumWidth(360);
}

QString CAboutDlg::VersionText() const
{
    return versionLabel_->text();
}

} // namespace pondel
