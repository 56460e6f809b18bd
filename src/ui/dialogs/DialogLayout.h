#pragma once

#include <initializer_list>
#include <QString>

class QDialog;
class QPushButton;
class QWidget;

namespace pondel {

// The common shape of the small dialogs: an explaining line on top, labelled
// fields below it, then the extra lines and the buttons at the bottom right.
struct DialogField {
    QString label;
    QWidget* field;
};

void LayOutDialog(QDialog& dialog, const QString& explanation,
    std::initializer_list<DialogField> fields, std::initializer_list<QWidget*> buttons,
    QWidget* footnote = nullptr);

// A push button with an object name, for the tests to find it by.
[[nodiscard]] QPushButton* MakeButton(QDialog& dialog, const QString& text, const char* name);

} // namespace pondel
