#include "MessageTexts.h"

#include <QCoreApplication>

namespace pondel {

QString MessageText(MessageId id)
{
    const char* text = "";
    switch (id) {
    case MessageId::kSelectHost:
        text = QT_TRANSLATE_NOOP("Messages", "Please select the host");
        break;
    case MessageId::kOtherNetwork:
        text = QT_TRANSLATE_NOOP("Messages", "It is the other networks. Would you like to send?");
        break;
    case MessageId::kNoIpAddress:
        text = QT_TRANSLATE_NOOP("Messages", "IP address is not set");
        break;
    case MessageId::kIllegalMac:
        text = QT_TRANSLATE_NOOP("Messages", "It is illegal MAC address");
        break;
    case MessageId::kShutdownQuestion:
        text = QT_TRANSLATE_NOOP("Messages", "Shut down the selected host.\nDo you really want?");
        break;
    case MessageId::kShutdownFailed:
        text = QT_TRANSLATE_NOOP("Messages", "Remote Shutdown failed");
        break;
    case MessageId::kHostAddressEmpty:
        text = QT_TRANSLATE_NOOP("Messages", "Host address is empty");
        break;
    case MessageId::kIllegalSecureOn:
        text = QT_TRANSLATE_NOOP("Messages", "It is illegal SecureOn password");
        break;
    case MessageId::kIllegalInterface:
        text = QT_TRANSLATE_NOOP("Messages", "It is illegal interface name");
        break;
    }
    return QCoreApplication::translate("Messages", text);
}

} // namespace pondel
