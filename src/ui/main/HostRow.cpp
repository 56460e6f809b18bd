#include "HostRow.h"

#include <QCoreApplication>

#include "Ipv4Text.h"
#include "MacAddress.h"

namespace pondel {
namespace {

int Sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

template <typename T>
int ThreeWay(const T& first, const T& second)
{
    return first < second ? -1 : (second < first ? 1 : 0);
}

// A text that is not a MAC address still compares by the pairs read from it.
MacAddress MacOf(const char* text)
{
    MacAddress mac{};
    (void)ParseMacAddress(text, mac);
    return mac;
}

int CompareTexts(const HostRow& first, const HostRow& second, int column, const MarkStyle& style)
{
    return Sign(
        RowText(first, column, style).compare(RowText(second, column, style), Qt::CaseInsensitive));
}

int CompareAscending(
    const HostRow& first, const HostRow& second, int column, const MarkStyle& style)
{
    const tHostInfo& a = first.host;
    const tHostInfo& b = second.host;
    switch (column) {
    case 0:
        if (style.textMode)
            return CompareTexts(first, second, column, style);
        return ThreeWay(a.active != 0, b.active != 0);
    case 1:
    case 2:
    case 7:
        return CompareTexts(first, second, column, style);
    case 3:
        return ThreeWay(TextToIp(a.ipAddr), TextToIp(b.ipAddr));
    case 4:
        return ThreeWay(TextToIp(a.netMask), TextToIp(b.netMask));
    case 5:
        // Highest address first: the reverse of the other columns.
        return -ThreeWay(MacOf(a.macAddr), MacOf(b.macAddr));
    default:
        return 0;
    }
}

} // namespace

QString RowText(const HostRow& row, int column, const MarkStyle& style)
{
    const tHostInfo& host = row.host;
    switch (column) {
    case 0:
        if (style.textMode &&
            host.linkState == static_cast<std::int32_t>(HostLinkState::kAnotherMachine))
            return QStringLiteral(" ! ");
        return style.textMode && host.active != 0 ? style.markText : QString();
    case 1:
        return QString::fromUtf8(host.hostName);
    case 2:
        return QString::fromUtf8(host.comment);
    case 3:
        return QString::fromUtf8(host.ipAddr);
    case 4:
        return QString::fromUtf8(host.netMask);
    case 5:
        return QString::fromUtf8(host.macAddr);
    case 7:
        return QString::fromUtf8(host.group);
    default:
        return {};
    }
}

int CompareHostRows(const HostRow& first, const HostRow& second, int column, bool descending,
    const MarkStyle& style)
{
    const int result = CompareAscending(first, second, column, style);
    return descending ? -result : result;
}

QString WakeText(const RowWake& wake)
{
    const QString seconds = QString::number(wake.seconds);
    switch (wake.mark) {
    case WakeMark::kWaking:
        return QCoreApplication::translate("WakeMarks", "%1 s").arg(seconds);
    case WakeMark::kUp:
        return QCoreApplication::translate("WakeMarks", "up after %1 s").arg(seconds);
    case WakeMark::kNoAnswer:
        return QCoreApplication::translate("WakeMarks", "no answer after %1 s").arg(seconds);
    }
    return {};
}

QString WakeToolTip(const RowWake& wake)
{
    QString text = WakeText(wake);
    if (wake.mark == WakeMark::kWaking)
        text = QCoreApplication::translate("WakeMarks", "Waking: %1").arg(text);
    if (wake.mark != WakeMark::kNoAnswer)
        return text;
    return text + QLatin1Char('\n') +
        QCoreApplication::translate("WakeMarks",
            "Check the MAC address, the interface the packet leaves by, the wake-up setting "
            "in the host's BIOS or network card, and whether a router on the way drops "
            "directed broadcasts.");
}

} // namespace pondel
