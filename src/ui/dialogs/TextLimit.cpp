#include "TextLimit.h"

#include <QLineEdit>
#include <QValidator>

namespace pondel {
namespace {

class RecordFieldValidator final : public QValidator {
public:
    RecordFieldValidator(int maxBytes, QObject* parent)
        : QValidator(parent)
        , maxBytes_(maxBytes)
    {
    }

    State validate(QString& input, int& /*position*/) const override
    {
        if (input.contains(QLatin1Char('\n')) || input.contains(QLatin1Char('\r')))
            return Invalid;
        return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
    }

private:
    int maxBytes_;
};

} // namespace

void LimitToRecordField(QLineEdit& edit, int maxBytes)
{
    edit.setValidator(new RecordFieldValidator(maxBytes, &edit));
}

} // namespace pondel
