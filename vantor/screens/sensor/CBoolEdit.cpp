#include "vantor/screens/sensor/CBoolEdit.h"

#include <QKeyEvent>
#include <QValidator>

namespace {
// Pasted or set text holds nothing but "0" and "1".
class BitValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar c : input)
            if (c != QLatin1Char('0') && c != QLatin1Char('1'))
                return Invalid;
        return Acceptable;
    }
};
} // namespace

CBoolEdit::CBoolEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new BitValidator(this));
}

bool CBoolEdit::accepts(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('1') || c.unicode() < 21;
}

void CBoolEdit::keyPressEvent(QKeyEvent* e)
{
    const QString text = e->text();
    if (!text.isEmpty() && !accepts(text.at(0))) {
        e->accept(); // dropped
        return;
    }
    QLineEdit::keyPressEvent(e);
}
