#include "AddressEdit.h"

#include <algorithm>
#include <iterator>

#include <QValidator>

#include "Ipv4Text.h"

namespace pondel {
namespace {

constexpr int kPartCount = 4;

// The numbers typed so far, -1 for a part that is still empty; none when the
// text can never become an address.
struct Parts {
    bool valid = true;
    int count = 0;
    int values[kPartCount] = {-1, -1, -1, -1};
};

Parts SplitParts(const QString& text)
{
    Parts parts;
    if (text.isEmpty())
        return parts;
    const QStringList pieces = text.split(QLatin1Char('.'));
    if (pieces.size() > kPartCount) {
        parts.valid = false;
        return parts;
    }
    parts.count = static_cast<int>(pieces.size());
    for (int i = 0; i < parts.count; ++i) {
        const QString& piece = pieces[i];
        if (piece.isEmpty())
            continue;
        bool number = false;
        const int value = piece.toInt(&number);
        const bool digitsOnly = std::all_of(piece.begin(), piece.end(),
            [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
        if (!number || !digitsOnly || piece.size() > 3 || value > 255) {
            parts.valid = false;
            return parts;
        }
        parts.values[i] = value;
    }
    return parts;
}

bool AllPartsFilled(const Parts& parts)
{
    if (!parts.valid || parts.count != kPartCount)
        return false;
    return std::all_of(std::begin(parts.values), std::end(parts.values),
        [](int value) { return value >= 0; });
}

class AddressValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*position*/) const override
    {
        const Parts parts = SplitParts(input);
        if (!parts.valid)
            return Invalid;
        return AllPartsFilled(parts) ? Acceptable : Intermediate;
    }
};

} // namespace

AddressEdit::AddressEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new AddressValidator(this));
    setMaxLength(15);
    // Wide enough for 255.255.255.255 and no wider.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16);
}

bool AddressEdit::IsBlank() const
{
    return text().isEmpty();
}

bool AddressEdit::IsComplete() const
{
    return AllPartsFilled(SplitParts(text()));
}

std::uint32_t AddressEdit::Address() const
{
    const Parts parts = SplitParts(text());
    if (!parts.valid)
        return 0;
    std::uint32_t address = 0;
    for (const int value : parts.values)
        address = (address << 8) | static_cast<std::uint32_t>(value < 0 ? 0 : value);
    return address;
}

void AddressEdit::SetAddress(std::uint32_t address)
{
    setText(QString::fromStdString(IpToText(address)));
}

} // namespace pondel
