#include "DialogLayout.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pondel {

void LayOutDialog(QDialog& dialog, const QString& explanation,
    std::initializer_list<DialogField> fields, std::initializer_list<QWidget*> buttons,
    QWidget* footnote)
{
    auto* outer = new QVBoxLayout(&dialog);
    if (!explanation.isEmpty()) {
        auto* label = new QLabel(explanation, &dialog);
        label->setObjectName(QStringLiteral("explanationLabel"));
        label->setWordWrap(true);
        outer->addWidget(label);
    }
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    for (const DialogField& field : fields) {
        auto* label = new QLabel(field.label, &dialog);
        label->setBuddy(field.field);
        form->addRow(label, field.field);
    }
    outer->addLayout(form);
    if (footnote != nullptr)
        outer->addWidget(footnote);
    outer->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons)
        row->addWidget(button);
    outer->addLayout(row);
    // Room for the explaining line on one line in either language.
    dialog.setMinimumWidth(480);
}

QPushButton* MakeButton(QDialog& dialog, const QString& text, const char* name)
{
    auto* button = new QPushButton(text, &dialog);
    button->setObjectName(QLatin1String(name));
    // Some margin around the longer texts, such as the Get buttons'.
    button->setMinimumWidth(button->sizeHint().width() + 16);
    button->setAutoDefault(false);
    return button;
}

} // namespace pondel
