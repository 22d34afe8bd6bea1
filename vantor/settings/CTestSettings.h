#pragma once
// A test's parameters as one section of the settings file. Each record class
// lists its persisted fields once, in file order, in Exchange(); Load and Save
// run that list in either direction.
#include <cstdint>
#include <QString>

class CSettingsFile;

// The speed of one motor group: "Constant (pps):" / "Ramp Up Profile:" and
// the optional " Ramp Down Profile:", kept under <prefix>InitialSpeedType,
// <prefix>ConstantSpeed, <prefix>RampUpProfile, <prefix>UseRampDown and
// <prefix>RampDownProfile.
struct SpeedSettings {
    int32_t initialSpeedType = 0; // 0 constant speed, 1 ramp-up profile
    int32_t constantSpeed = 0;    // pulses per second
    QString rampUpProfile;        // file path
    int32_t useRampDown = 0;      // 0 or 1
    QString rampDownProfile;      // file path
    bool operator==(const SpeedSettings&) const = default;
};

// The indices a dialog asks the store for; 18, 19 and 21 are unused.
enum TestSettingsIndex : int {
    kTestEjector = 0,
    kTestEndCutter = 1,
    kTestPrintHeadLift = 2,
    kTestPlaten = 3,
    kTestPlatenLife = 4,
    kTestPrintHead = 5,
    kTestRibbonDrive = 6,
    kTestRibbonToPlaten = 7,
    kTestRibbonAdvance = 8,
    kTestRibbonTension = 9,
    kTestRibbonColor = 10,
    kTestPlatenSensor = 11,
    kTestTapeRewind = 12,
    kTestTapeRollTightness = 13,
    kTestTapeOvershoot = 14,
    kTestXYCutter = 15,
    kTestXYCutterLife = 16,
    kTestFiducial = 17,
    kTestPrint = 20,
    kTestPrintToCut = 22,
    kTestMediaJam = 23,
};
constexpr int kTestSettingsSlots = 24; // indices 0 to 23
constexpr int kTestSettingsRecords = 21; // used indices

// The section name of an index, or nullptr for an unused index.
const char* TestSettingsSection(int index);

// One direction of a record's field list.
class SettingsExchange {
public:
    SettingsExchange(CSettingsFile& file, bool loading) : m_file(file), m_loading(loading) {}
    bool IsLoading() const { return m_loading; }
    void Number(const QString& key, int32_t& value, int32_t defaultValue = 0);
    void Text(const QString& key, QString& value, const QString& defaultValue = QString());

    // The five keys of a speed group, in file order.
    void Speed(const QString& prefix, SpeedSettings& speed);
    // The solenoid drive pair of the cutter and head lift tests: read as
    // DutyCycle, CurrentLevel, written the other way round.
    void DutyCycleAndCurrentLevel(int32_t& dutyCycle, QString& currentLevel);

private:
    CSettingsFile& m_file;
    bool m_loading;
};

class CTestSettings {
public:
    virtual ~CTestSettings() = default;

    // Makes the section current and reads every persisted field (absent keys
    // give their defaults).
    virtual void Load();
    // Makes the section current and writes every persisted field.
    virtual void Save();

    int Index() const { return m_index; }
    const QString& SectionName() const { return m_section; }
    CSettingsFile& Owner() const { return *m_owner; }

    // Present in every record; which of them a section keeps is the record's
    // own list.
    int32_t cycle = 0;           // "Total Cycle:"
    int32_t pause = 0;           // "Pause betwen Cycle (ms):"
    int32_t cumulativeCycle = 0; // "Cummulative Cycle:"

protected:
    CTestSettings(CSettingsFile& owner, int index);
    // A copy is a snapshot a dialog can edit; assigning it back copies the
    // values only, never the section or owner.
    CTestSettings(const CTestSettings&) = default;
    CTestSettings& operator=(const CTestSettings& other);

    virtual void Exchange(SettingsExchange& io) = 0;
    // "pause", "cycle", "CumulativeCycle": the closing keys of most sections.
    void ExchangeCommon(SettingsExchange& io, int32_t cycleDefault = 0);

private:
    CSettingsFile* m_owner;
    int m_index;
    QString m_section;
};
