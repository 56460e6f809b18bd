#include "ModalSeam.h"

#include <deque>
#include <functional>
#include <utility>

#include <QColorDialog>
#include <QDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ModulePaths.h"

namespace pondel {
namespace {

// A file dialog's answer: the name, none for a cancel, and the file type.
struct FileAnswer {
    std::optional<QString> name;
    QString filter;
};

struct SeamState {
    std::deque<ModalSeam::Answer> answers;
    std::deque<FileAnswer> fileNames;
    std::deque<std::optional<QColor>> colors;
    std::deque<std::function<int(QDialog&)>> dialogs;
    bool unattended = false;
    QStringList shown;
};

// The hooks are process-wide on purpose: a test arms them before the action
// that opens the window, wherever in the program that window is opened.
SeamState& State()
{
    static SeamState state;
    return state;
}

template <typename T>
std::optional<T> TakeFront(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

QString Caption()
{
    return QString::fromStdString(GetApplicationName());
}

// Our own button texts, so that they follow the program's language even
// where Qt's own translations are not installed.
ModalSeam::Answer ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
    const QString& text, bool question)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    if (!question) {
        box.addButton(QCoreApplication::translate("ModalSeam", "OK"), QMessageBox::AcceptRole);
        box.exec();
        return ModalSeam::Answer::kOk;
    }
    QPushButton* yes =
        box.addButton(QCoreApplication::translate("ModalSeam", "&Yes"), QMessageBox::YesRole);
    QPushButton* no =
        box.addButton(QCoreApplication::translate("ModalSeam", "&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? ModalSeam::Answer::kYes : ModalSeam::Answer::kNo;
}

ModalSeam::Answer Box(QWidget* parent, QMessageBox::Icon icon, const QString& title,
    const QString& text, bool question)
{
    SeamState& state = State();
    state.shown.append(text);
    if (const auto answer = TakeFront(state.answers))
        return *answer;
    if (state.unattended)
        return question ? ModalSeam::Answer::kNo : ModalSeam::Answer::kOk;
    return ShowBox(parent, icon, title, text, question);
}

// show returns the name chosen, empty for a cancel, and sets filter to
// the file type chosen.
std::optional<QString> FileName(const QString& title, const QString& filters, QString* filter,
    const std::function<QString(QString& filter)>& show)
{
    SeamState& state = State();
    state.shown.append(title);
    QString chosenFilter = filters.section(QStringLiteral(";;"), 0, 0);
    std::optional<QString> chosen;
    if (auto answer = TakeFront(state.fileNames)) {
        if (!answer->filter.isEmpty())
            chosenFilter = answer->filter;
        chosen = std::move(answer->name);
    } else if (!state.unattended) {
        if (QString name = show(chosenFilter); !name.isEmpty())
            chosen = std::move(name);
    }
    if (filter != nullptr)
        *filter = chosenFilter;
    return chosen;
}

} // namespace

void ModalSeam::Notice(QWidget* parent, const QString& text)
{
    Box(parent, QMessageBox::Information, Caption(), text, false);
}

void ModalSeam::Error(QWidget* parent, const QString& text)
{
    Box(parent, QMessageBox::Warning, Caption(), text, false);
}

bool ModalSeam::Ask(QWidget* parent, const QString& text)
{
    return Box(parent, QMessageBox::Question, Caption(), text, true) == Answer::kYes;
}

bool ModalSeam::Ask(QWidget* parent, const QString& text, const QString& title)
{
    return Box(parent, QMessageBox::Question, title, text, true) == Answer::kYes;
}

std::optional<QString> ModalSeam::OpenFileName(
    QWidget* parent, const QString& title, const QString& filter)
{
    return FileName(title, filter, nullptr,
        [&](QString&) { return QFileDialog::getOpenFileName(parent, title, {}, filter); });
}

std::optional<QString> ModalSeam::SaveFileName(QWidget* parent, const QString& title,
    const QString& filter, const QString& defaultSuffix, QString* chosenFilter)
{
    return FileName(title, filter, chosenFilter, [&](QString& chosen) {
        QFileDialog dialog(parent, title, {}, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        chosen = dialog.selectedNameFilter();
        return dialog.selectedFiles().value(0);
    });
}

std::optional<QColor> ModalSeam::ChooseColor(QWidget* parent, const QColor& initial)
{
    SeamState& state = State();
    if (auto color = TakeFront(state.colors))
        return *color;
    if (state.unattended)
        return std::nullopt;
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

int ModalSeam::Exec(QDialog& dialog)
{
    SeamState& state = State();
    state.shown.append(dialog.windowTitle());
    if (auto handler = TakeFront(state.dialogs)) {
        const int result = (*handler)(dialog);
        dialog.setResult(result);
        return result;
    }
    if (state.unattended)
        return QDialog::Rejected;
    return dialog.exec();
}

void ModalSeam::SetNextDialog(std::function<int(QDialog&)> handler)
{
    State().dialogs.push_back(std::move(handler));
}

void ModalSeam::SetNextAnswer(Answer answer)
{
    State().answers.push_back(answer);
}

void ModalSeam::SetNextFileName(std::optional<QString> fileName, QString chosenFilter)
{
    State().fileNames.push_back(FileAnswer{std::move(fileName), std::move(chosenFilter)});
}

void ModalSeam::SetNextColor(std::optional<QColor> color)
{
    State().colors.push_back(std::move(color));
}

void ModalSeam::SetUnattended(bool unattended)
{
    State().unattended = unattended;
}

QStringList ModalSeam::ShownTexts()
{
    return State().shown;
}

void ModalSeam::Reset()
{
    State() = SeamState{};
}

} // namespace pondel
