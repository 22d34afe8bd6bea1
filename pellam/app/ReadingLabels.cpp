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
        QWidget* w = dialog.control(c.id);
        if (auto* reading = qobject_cast<QLabel*>(w)) {
            reading->setAccessibleName(QString()); // follows the text shown
            reading->setAccessibleDescription(label);
            label.clear();
        } else if (auto* radio = qobject_cast<QRadioButton*>(w); radio && !label.isEmpty()) {
            radio->setAccessibleName(label + QLatin1Char(' ') + radio->text());
        }
    }
}

} // namespace pellam
