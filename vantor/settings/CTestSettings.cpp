#include "vantor/settings/CTestSettings.h"

#include "vantor/settings/CSettingsFile.h"

void SettingsExchange::Number(const QString& key, int32_t& value, int32_t defaultValue)
{
    if (m_loading)
        value = m_file.GetInt(key, defaultValue);
    else
        m_file.SetInt(key, value);
}

void SettingsExchange::Text(const QString& key, QString& value, const QString& defaultValue)
{
    if (m_loading)
        value = m_file.GetString(key, defaultValue);
    else
        m_file.SetString(key, value);
}

void SettingsExchange::DutyCycleAndCurrentLevel(int32_t& dutyCycle, QString& currentLevel)
{
    if (m_loading) {
        Number(QStringLiteral("DutyCycle"), dutyCycle, 100);
        Text(QStringLiteral("CurrentLevel"), currentLevel, QStringLiteral("100"));
    } else {
        Text(QStringLiteral("CurrentLevel"), currentLevel);
        Number(QStringLiteral("DutyCycle"), dutyCycle);
    }
}

void SettingsExchange::Speed(const QString& prefix, SpeedSettings& speed)
{
    Number(prefix + QLatin1String("InitialSpeedType"), speed.initialSpeedType);
    Number(prefix + QLatin1String("ConstantSpeed"), speed.constantSpeed);
    Text(prefix + QLatin1String("RampUpProfile"), speed.rampUpProfile);
    Number(prefix + QLatin1String("UseRampDown"), speed.useRampDown);
    Text(prefix + QLatin1String("RampDownProfile"), speed.rampDownProfile);
}

CTestSettings::CTestSettings(CSettingsFile& owner, int index)
    : m_owner(&owner), m_index(index), m_section(QString::fromLatin1(TestSettingsSection(index)))
{
}

CTestSettings& CTestSettings::operator=(const CTestSettings& other)
{
    cycle = other.cycle;
    pause = other.pause;
    cumulativeCycle = other.cumulativeCycle;
    return *this;
}

void CTestSettings::Load()
{
    m_owner->SetSection(m_section);
    SettingsExchange io(*m_owner, true);
    Exchange(io);
}

void CTestSettings::Save()
{
    m_owner->SetSection(m_section);
    SettingsExchange io(*m_owner, false);
    Exchange(io);
}

void CTestSettings::ExchangeCommon(SettingsExchange& io, int32_t cycleDefault)
{
    io.Number(QStringLiteral("pause"), pause);
    io.Number(QStringLiteral("cycle"), cycle, cycleDefault);
    io.Number(QStringLiteral("CumulativeCycle"), cumulativeCycle);
}
