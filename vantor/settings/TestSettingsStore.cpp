#include "vantor/settings/TestSettingsStore.h"

#include <iterator>

#include "platform/DataFolder.h"
#include "platform/DevicePath.h"

TestSettingsStore::TestSettingsStore(CSettingsFile& file, const QString& path) : m_file(file), m_path(path) {}

namespace {

template <class T>
std::unique_ptr<CTestSettings> make(CSettingsFile& file, int)
{
    return std::make_unique<T>(file);
}
template <>
std::unique_ptr<CTestSettings> make<CTapeRewindSettings>(CSettingsFile& file, int index)
{
    return std::make_unique<CTapeRewindSettings>(file, index);
}

// One row per test: its index, its section and its record type. Indices 18,
// 19 and 21 have none.
struct SettingsRow {
    int index;
    const char* section;
    std::unique_ptr<CTestSettings> (*make)(CSettingsFile&, int);
};
constexpr SettingsRow kRows[] = {
    {kTestEjector, "ejector", &make<CEjectorSettings>},
    {kTestEndCutter, "End Cutter", &make<CEndCutterSettings>},
    {kTestPrintHeadLift, "Print Head Lift", &make<CPrintHeadLiftSettings>},
    {kTestPlaten, "Platen", &make<CPlatenSettings>},
    {kTestPlatenLife, "Platen Life", &make<CPlatenLifeSettings>},
    {kTestPrintHead, "Print Head", &make<CPrintHeadSettings>},
    {kTestRibbonDrive, "Ribbon Drive", &make<CRibbonDriveSettings>},
    {kTestRibbonToPlaten, "Ribbon To Platen", &make<CRibbonToPlatenSettings>},
    {kTestRibbonAdvance, "Ribbon Advance", &make<CRibbonAdvanceSettings>},
    {kTestRibbonTension, "Ribbon Tension", &make<CRibbonTensionSettings>},
    {kTestRibbonColor, "Ribbon Color", &make<CRibbonColorSettings>},
    {kTestPlatenSensor, "Platen Sensor", &make<CPlatenSensorSettings>},
    {kTestTapeRewind, "Tape Rewind", &make<CTapeRewindSettings>},
    {kTestTapeRollTightness, "Tape Roll Tightness", &make<CTapeRewindSettings>},
    {kTestTapeOvershoot, "Tape Overshoot", &make<CTapeRewindSettings>},
    {kTestXYCutter, "XY Cutter", &make<CXYCutterSettings>},
    {kTestXYCutterLife, "XY Cutter Life", &make<CXYCutterLifeSettings>},
    {kTestFiducial, "Fiducial", &make<CFiducialSettings>},
    {kTestPrint, "Print", &make<CPrintSettings>},
    {kTestPrintToCut, "PrintToCut", &make<CPrintToCutSettings>},
    {kTestMediaJam, "MEdiaJam", &make<CMediaJamSettings>},
};
static_assert(std::size(kRows) == kTestSettingsRecords);

const SettingsRow* rowOf(int index)
{
    for (const SettingsRow& r : kRows)
        if (r.index == index)
            return &r;
    return nullptr;
}

} // namespace

const char* TestSettingsSection(int index)
{
    const SettingsRow* row = rowOf(index);
    return row ? row->section : nullptr;
}

CTestSettings* TestSettingsStore::Get(int index)
{
    std::unique_ptr<CTestSettings>* slot =
        index >= 0 && index < kTestSettingsSlots ? &m_records[size_t(index)] : nullptr;
    if (!slot)
        return nullptr;
    if (!*slot) {
        const SettingsRow* row = rowOf(index);
        if (!row)
            return nullptr;
        *slot = row->make(m_file, index);
    }
    return slot->get();
}

CTestSettings* TestSettingsStore::Fetch(int index)
{
    CTestSettings* record = Get(index);
    if (record)
        record->Load();
    return record;
}

bool TestSettingsStore::Store(int index)
{
    CTestSettings* record = Get(index);
    if (!record)
        return false;
    record->Save();
    if (m_file.Save(m_path)) {
        m_failureReported = false;
        return true;
    }
    if (!m_failureReported && !m_file.DidNotLoad(m_path)) {
        m_failureReported = true;
        if (m_onFailure)
            m_onFailure(m_path);
    }
    return false;
}

struct ScopedSettingsContext::Context {
    CSettingsFile file;
    QString path;
    TestSettingsStore store{file, path};
};

namespace {

ScopedSettingsContext::Context& processContext()
{
    // Lives until the process ends; never written at exit.
    static ScopedSettingsContext::Context* context = new ScopedSettingsContext::Context;
    return *context;
}

ScopedSettingsContext::Context* g_override = nullptr;

ScopedSettingsContext::Context& current()
{
    return g_override ? *g_override : processContext();
}

} // namespace

CSettingsFile& TheSettingsFile()
{
    return current().file;
}

const QString& SettingsPath()
{
    return current().path;
}

void SetSettingsPath(const QString& path)
{
    current().path = path;
}

QString DefaultSettingsPath()
{
    const QString folder = platform::dataFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("Vantor.ini");
}

bool LoadSettingsFile(const QString& path)
{
    SetSettingsPath(path);
    return TheSettingsFile().Load(path);
}

CTestSettings* GetTestSettings(int index)
{
    return current().store.Get(index);
}

CTestSettings* FetchTestSettings(int index)
{
    return current().store.Fetch(index);
}

bool StoreTestSettings(int index)
{
    return current().store.Store(index);
}

void SetSettingsSaveFailureHandler(SettingsSaveFailure handler)
{
    current().store.SetFailureHandler(std::move(handler));
}

ScopedSettingsContext::ScopedSettingsContext(const QString& path)
    : m_context(std::make_unique<Context>()), m_previous(g_override)
{
    m_context->path = path;
    g_override = m_context.get();
}

ScopedSettingsContext::~ScopedSettingsContext()
{
    g_override = m_previous;
}
