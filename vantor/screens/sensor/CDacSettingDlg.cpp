#include "vantor/screens/sensor/CDacSettingDlg.h"

#include "vantor/res/resource.h"

namespace {
constexpr int kChannelIds[vantor::sensor::kChannels] = {IDC_DS_CHANNEL1, IDC_DS_CHANNEL2, IDC_DS_CHANNEL3,
                                                        IDC_DS_CHANNEL4, IDC_DS_CHANNEL5, IDC_DS_CHANNEL6,
                                                        IDC_DS_CHANNEL7, IDC_DS_CHANNEL8};
}

CDacSettingDlg::CDacSettingDlg(Mode mode, ui::Dialog* owner)
    : ui::Dialog(IDD_DAC_SETTING, owner), m_mode(mode), m_owner(owner)
{
}

bool CDacSettingDlg::Create(QPoint pos)
{
    return createChild(m_owner, pos);
}

void CDacSettingDlg::clear()
{
    m_readings.fill(0);
    m_levels.fill(0.0);
    for (int id : kChannelIds)
        setText(id, QString());
}

void CDacSettingDlg::refresh()
{
    for (int i = 0; i < vantor::sensor::kChannels; ++i)
        setText(kChannelIds[i], m_mode == kInteger ? formatReading(m_readings[size_t(i)])
                                                   : formatLevel(m_levels[size_t(i)]));
}

QString CDacSettingDlg::formatReading(uint32_t reading)
{
    return QString::number(reading);
}

QString CDacSettingDlg::formatLevel(double level)
{
    return QString::number(level, 'g', 15);
}
