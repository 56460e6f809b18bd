#pragma once

#include <functional>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTest>

#include "HostTexts.h"
#include "LookupDialog.h"
#include "ModalSeam.h"

namespace pondel::test {

// A named child of a dialog; fails the test when there is none.
template <typename Widget>
Widget* Part(const QObject& dialog, const char* name)
{
    auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
    if (widget == nullptr)
        qFatal("no %s in %s", name, qPrintable(dialog.objectName()));
    return widget;
}

inline QString FieldText(const QDialog& dialog, const char* name)
{
    return Part<QLineEdit>(dialog, name)->text();
}

// Replaces a field's text the way typing would, so that the field's rules
// and its change notifications apply.
inline void Type(QDialog& dialog, const char* name, const QString& text)
{
    QLineEdit* edit = Part<QLineEdit>(dialog, name);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

inline void Click(QDialog& dialog, const char* name)
{
    Part<QPushButton>(dialog, name)->click();
}

// Lets the event loop run until the dialog's lookup has ended.
inline bool WaitForLookup(const LookupDialog& dialog)
{
    return QTest::qWaitFor([&] { return !dialog.IsBusy(); }, 15000);
}

// The host edit dialog filled with these texts and closed with OK.
inline std::function<int(QDialog&)> FillHostEdit(const HostTexts& texts)
{
    return [texts](QDialog& dialog) {
        Type(dialog, "hostNameEdit", QString::fromStdString(texts.hostName));
        Type(dialog, "commentEdit", QString::fromStdString(texts.comment));
        Type(dialog, "ipAddressEdit", QString::fromStdString(texts.ipAddr));
        if (!texts.netMask.empty())
            Type(dialog, "netMaskEdit", QString::fromStdString(texts.netMask));
        Type(dialog, "macAddressEdit", QString::fromStdString(texts.macAddr));
        Click(dialog, "okButton");
        return dialog.result();
    };
}

} // namespace pondel::test
