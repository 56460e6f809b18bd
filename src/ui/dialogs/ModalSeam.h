#pragma once

#include <functional>
#include <optional>

#include <QColor>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace pondel {

// Every modal window of the program opens through here: message boxes,
// questions, file dialogs and the colour chooser. Tests answer them in
// advance, or let them all take their default answer, so that no test ever
// waits on a window. Boxes are captioned with the application's name.
class ModalSeam final {
public:
    enum class Answer {
        kOk,
        kYes,
        kNo
    };

    ModalSeam() = delete;

    // An OK box for a notice or an error.
    static void Notice(QWidget* parent, const QString& text);
    static void Error(QWidget* parent, const QString& text);
    // A Yes/No question; anything but Yes counts as No.
    [[nodiscard]] static bool Ask(QWidget* parent, const QString& text);
    // The same with a caption of its own.
    [[nodiscard]] static bool Ask(QWidget* parent, const QString& text, const QString& title);

    // None when the user cancels.
    [[nodiscard]] static std::optional<QString> OpenFileName(
        QWidget* parent, const QString& title, const QString& filter);
    // chosenFilter, when given, receives the file type the user chose: one
    // of the ";;"-separated parts of filter.
    [[nodiscard]] static std::optional<QString> SaveFileName(QWidget* parent, const QString& title,
        const QString& filter, const QString& defaultSuffix, QString* chosenFilter = nullptr);
    [[nodiscard]] static std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial);

    // Runs one of the program's own dialogs modally and gives its result
    // (QDialog::Accepted or Rejected).
    [[nodiscard]] static int Exec(QDialog& dialog);

    // Test hooks. A queued answer is used by the next window of its kind.
    // Unattended, a window with no queued answer takes its default (OK, No,
    // cancel) without showing. Every text shown or answered is logged.
    static void SetNextAnswer(Answer answer);
    // chosenFilter is the file type chosen with the name; empty takes the
    // first of the dialog's list, as the dialog does.
    static void SetNextFileName(std::optional<QString> fileName, QString chosenFilter = {});
    static void SetNextColor(std::optional<QColor> color);
    // The next dialog run through Exec is handed to this function instead of
    // being shown: it may fill the dialog's fields and returns its result,
    // as the user's OK or Cancel would. Unattended, a dialog with no handler
    // queued is rejected.
    static void SetNextDialog(std::function<int(QDialog&)> handler);
    static void SetUnattended(bool unattended);
    [[nodiscard]] static QStringList ShownTexts();
    static void Reset();
};

} // namespace pondel
