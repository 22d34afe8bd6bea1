#include "ReadingLabels.h"

#include <QLabel>
#include <QRadioButton>

namespace pellam {

void nameReadings(ui::Dialog& dialog)
{
    const ui::DialogTemplate* tmpl = dialog.dialogTemplate();
    if (!tmpl)
        return;
    QString label; // the static text before the control, in template order
    for (const ui::ControlTemplate& c : tmpl->controls) {
        if (c.id == -1) {
            const bool text = c.className.compare(QLatin1String("Static"), Qt::CaseInsensitive) == 0;
            label = text ? c.text : QString();
            continue;
        }
        if (auto* radio = qobject_cast<QRadioButton*>(dialog.control(c.id)); radio && !label.isEmpty())
            radio->setAccessibleName(label + QLatin1Char(' ') + radio->text());
        else if (qobject_cast<QLabel*>(dialog.control(c.id)))
            label.clear(); // a reading takes the label before it
    }
}

} // namespace pellam
