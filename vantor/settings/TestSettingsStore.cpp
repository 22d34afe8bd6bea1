#include "vantor/settings/TestSettingsStore.h"

#include "platform/DevicePath.h"

TestSettingsStore::TestSettingsStore(CSettingsFile& file, const QString& path) : m_file(file), m_path(path) {}

CTestSettings* TestSettingsStore::Get(int index)
{
    if (index < 0 || index >= kTestSettingsSlots)
        return nullptr;
    std::unique_ptr<CTestSettings>& slot = m_records[size_t(index)];
    if (slot)
        return slot.get();
    switch (index) {
    case kTestEjector: slot = std::make_unique<CEjectorSettings>(m_file); break;
    case kTestEndCutter: slot = std::make_unique<CEndCutterSettings>(m_file); break;
    case kTestPrintHeadLift: slot = std::make_unique<CPrintHeadLiftSettings>(m_file); break;
    case kTestPlaten: slot = std::make_unique<CPlatenSettings>(m_file); break;
    case kTestPlatenLife: slot = std::make_unique<CPlatenLifeSettings>(m_file); break;
    case kTestPrintHead: slot = std::make_unique<CPrintHeadSettings>(m_file); break;
    case kTestRibbonDrive: slot = std::make_unique<CRibbonDriveSettings>(m_file); break;
    case kTestRibbonToPlaten: slot = std::make_unique<CRibbonToPlatenSettings>(m_file); break;
    case kTestRibbonAdvance: slot = std::make_unique<CRibbonAdvanceSettings>(m_file); break;
    case kTestRibbonTension: slot = std::make_unique<CRibbonTensionSettings>(m_file); break;
    case kTestRibbonColor: slot = std::make_unique<CRibbonColorSettings>(m_file); break;
    case kTestPlatenSensor: slot = std::make_unique<CPlatenSensorSettings>(m_file); break;
    case kTestTapeRewind:
    case kTestTapeRollTightness:
    case kTestTapeOvershoot: slot = std::make_unique<CTapeRewindSettings>(m_file, index); break;
    case kTestXYCutter: slot = std::make_unique<CXYCutterSettings>(m_file); break;
    case kTestXYCutterLife: slot = std::make_unique<CXYCutterLifeSettings>(m_file); break;
    case kTestFiducial: slot = std::make_unique<CFiducialSettings>(m_file); break;
    case kTestPrint: slot = std::make_unique<CPrintSettings>(m_file); break;
    case kTestPrintToCut: slot = std::make_unique<CPrintToCutSettings>(m_file); break;
    case kTestMediaJam: slot = std::make_unique<CMediaJamSettings>(m_file); break;
    default: return nullptr;
    }
    return slot.get();
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
    const QString folder = platform::programFolder();
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
