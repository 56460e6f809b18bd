#include "AddressEdit.h"

#include <algorithm>
#include <iterator>

#include <QValidator>

#include "Ipv4Text.h"
#include "ModalSeam.h"

namespace pondel {
namespace {

constexpr int kPartCount = 4;

// The numbers typed so far, -1 for a part that is still empty; none when the
// text can never become an address.
struct Parts {
    bool valid = true;
    int count = 0;
    int values[kPartCount] = {-1, -1, -1, -1};
    QString tooLarge; // the number that made the text invalid, if one did
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
            if (digitsOnly)
                parts.tooLarge = piece;
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
    return std::all_of(
        std::begin(parts.values), std::end(parts.values), [](int value) { return value >= 0; });
}

} // namespace

// Refuses what cannot become an address, and keeps why for the message.
class AddressEdit::Validator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*position*/) const override
    {
        const Parts parts = SplitParts(input);
        if (!parts.valid) {
            // Kept until the next refusal: the field may check the text it
            // goes back to before it reports this one.
            refusedNumber_ = parts.tooLarge;
            return Invalid;
        }
        return AllPartsFilled(parts) ? Acceptable : Intermediate;
    }

    [[nodiscard]] const QString& RefusedNumber() const noexcept { return refusedNumber_; }

private:
    mutable QString refusedNumber_;
};

AddressEdit::AddressEdit(QWidget* parent)
    : QLineEdit(parent)
{
    validator_ = new Validator(this);
    setValidator(validator_);
    setMaxLength(15);
    connect(this, &QLineEdit::inputRejected, this, &AddressEdit::SayWhyRefused);
    // Wide enough for 255.255.255.255 and no wider.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16);
}

void AddressEdit::SayWhyRefused()
{
    // Typing is refused rather than cut, and said so: a silently dropped
    // digit would leave another host's address in the field.
    const QString& number = validator_->RefusedNumber();
    ModalSeam::Notice(this,
        number.isEmpty()
            ? tr("An IP address is four numbers from 0 to 255, split by dots.")
            : tr("%1 is too large: each number of an IP address is 0 to 255.").arg(number));
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
