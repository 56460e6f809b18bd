#include "ClipboardText.h"

#include <utility>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pondel {
namespace {

bool& NextPutFails()
{
    static bool fails = false;
    return fails;
}

} // namespace

bool ClipboardText::Put(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (std::exchange(NextPutFails(), false))
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    return clipboard->text() == text;
}

std::optional<QString> ClipboardText::Get()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText())
        return std::nullopt;
    QString text = data->text();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

void ClipboardText::FailNextPut()
{
    NextPutFails() = true;
}

} // namespace pondel
