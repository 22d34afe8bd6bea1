#include "vantor/screens/sensor/CDacDlg.h"

#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"

using namespace vantor::sensor;

namespace {
constexpr int kEnableIds[kDacs] = {IDC_DAC_ENABLE1, IDC_DAC_ENABLE2, IDC_DAC_ENABLE3};
constexpr int kValueIds[kDacs] = {IDC_DAC_VALUE1, IDC_DAC_VALUE2, IDC_DAC_VALUE3};
const QPoint kPanelAt[kDacs] = {QPoint(0, 35), QPoint(0, 160), QPoint(0, 295)};
} // namespace

CDacDlg::CDacDlg(QWidget* parent) : CReadingDlg(IDD_DAC, parent)
{
    for (int d = 0; d < kDacs; ++d) {
        bindCheck(kEnableIds[d], m_enabled[size_t(d)]);
        bind(kValueIds[d], m_values[size_t(d)]);
        onCommand(kEnableIds[d], [this] { applyEnabling(); });
    }
    onCommand(IDC_DAC_READ, &CDacDlg::OnRead);
    onMessage(vantor::WM_BUSY_ENDED, [this](ui::Message&) {
        const auto levels = m_writer->levels();
        for (int d = 0; d < kDacs; ++d) {
            m_panels[size_t(d)]->setLevels(levels[size_t(d)]);
            m_panels[size_t(d)]->refresh();
        }
        enable(IDC_DAC_READ, true);
        worker().resetRun();
    });
}

CDacDlg::~CDacDlg()
{
    stopWorker();
}

void CDacDlg::initControls()
{
    updateData(false);
    for (int d = 0; d < kDacs; ++d)
        control(kValueIds[d])->setAccessibleName(text(kEnableIds[d]));
    for (int d = 0; d < kDacs; ++d) {
        m_panels[size_t(d)] = std::make_unique<CDacSettingDlg>(CDacSettingDlg::kDecimal, this);
        m_panels[size_t(d)]->Create(kPanelAt[d]);
    }
    applyEnabling();
}

void CDacDlg::applyEnabling()
{
    for (int d = 0; d < kDacs; ++d)
        enable(kValueIds[d], isChecked(kEnableIds[d]));
}

void CDacDlg::startWorker()
{
    m_writer = std::make_shared<DacWriter>(driver());
    worker().start([writer = m_writer, port = port()](ReadingWorker& w) {
        writer->writePass();
        // One pass per "READ": the worker ends it itself rather than
        // writing again should the dialog be slow to answer.
        w.resetRun();
        port.post(vantor::WM_BUSY_ENDED);
        w.pause(500);
    });
}

void CDacDlg::OnRead()
{
    updateData(true); // a value box that holds no number reads 0
    std::array<bool, kDacs> ticked{};
    std::array<int32_t, kDacs> typed{};
    for (int d = 0; d < kDacs; ++d) {
        ticked[size_t(d)] = m_enabled[size_t(d)] != 0;
        typed[size_t(d)] = m_values[size_t(d)];
        if (ticked[size_t(d)])
            m_panels[size_t(d)]->clear();
    }
    m_writer->setPass(ticked, typed);
    enable(IDC_DAC_READ, false);
    worker().setRun();
}
