#include "Ipv4AddressEdit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "Ipv4Text.h"

namespace pondel {

Ipv4AddressEdit::Ipv4AddressEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // Up to four parts, each blank or a number up to 255, so that whatever
    // the field holds reads as an address.
    static const QRegularExpression kDotted(
        QStringLiteral(R"((25[0-5]|2[0-4]\d|1?\d?\d)?(\.(25[0-5]|2[0-4]\d|1?\d?\d)?){0,3})"));
    setValidator(new QRegularExpressionValidator(kDotted, this));
    setPlaceholderText(QStringLiteral("0.0.0.0"));
}

void Ipv4AddressEdit::SetAddress(std::uint32_t address)
{
    setText(address == 0 ? QString() : QString::fromStdString(IpToText(address)));
}

std::uint32_t Ipv4AddressEdit::Address() const
{
    std::uint32_t address = 0;
    return ParseDottedAddress(text(), address) ? address : 0;
}

bool ParseDottedAddress(const QString& text, std::uint32_t& address)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 4)
        return false;
    std::uint32_t value = 0;
    for (int part = 0; part < 4; ++part) {
        std::uint32_t octet = 0;
        if (part < parts.size() && !parts[part].isEmpty()) {
            bool ok = false;
            const uint number = parts[part].toUInt(&ok);
            if (!ok || number > 255)
                return false;
            octet = number;
        }
        value = (value << 8) | octet;
    }
    address = value;
    return true;
}

} // namespace pondel
