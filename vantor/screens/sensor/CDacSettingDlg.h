#pragma once
// The channel panel (template 151): eight read-only boxes "Channel 1:" to
// "Channel 8:" inside the ADC dialog (integer mode: raw readings, "%lu") or
// the DAC dialog (decimal mode: levels, general format, up to 15
// significant digits).
#include <QPoint>

#include "ui/Dialog.h"
#include "vantor/screens/sensor/ConverterRuns.h"

class CDacSettingDlg : public ui::Dialog {
    Q_OBJECT
public:
    enum Mode { kInteger = 0, kDecimal = 1 };

    CDacSettingDlg(Mode mode, ui::Dialog* owner);
    bool Create(QPoint pos);
    Mode mode() const { return m_mode; }

    // Empties the eight boxes and sets the readings and levels to zero.
    void clear();
    void setReadings(const vantor::sensor::Readings& r) { m_readings = r; }
    void setLevels(const vantor::sensor::Levels& l) { m_levels = l; }
    // The values into the boxes.
    void refresh();

    static QString formatReading(uint32_t reading);
    static QString formatLevel(double level);

private:
    Mode m_mode;
    ui::Dialog* m_owner;
    vantor::sensor::Readings m_readings{};
    vantor::sensor::Levels m_levels{};
};
