#include "vantor/screens/sensor/CADCDlg.h"

#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"

using namespace vantor::sensor;

namespace {
// The worker timed out while idle: "READ" may be enabled.
constexpr int WM_READ_IDLE = ui::WM_USER + 120;
}

CADCDlg::CADCDlg(QWidget* parent) : CReadingDlg(IDD_ADC, parent)
{
    onCommand(IDC_ADC_READ, &CADCDlg::OnRead);
    onCommand(IDC_ADC_STOP, &CADCDlg::OnStop);
    onMessage(vantor::WM_READINGS_READY, [this](ui::Message&) {
        m_panel->setReadings(m_reader->readings());
        m_panel->refresh();
    });
    onMessage(WM_READ_IDLE, [this](ui::Message&) {
        if (!worker().runSet())
            enable(IDC_ADC_READ, true);
    });
}

CADCDlg::~CADCDlg()
{
    stopWorker();
}

void CADCDlg::initControls()
{
    m_panel = std::make_unique<CDacSettingDlg>(CDacSettingDlg::kInteger, this);
    m_panel->Create(QPoint(0, 35));
}

void CADCDlg::startWorker()
{
    m_reader = std::make_shared<AdcReader>(driver());
    worker().start(
        [reader = m_reader, port = port()](ReadingWorker& w) {
            reader->readPass();
            port.post(vantor::WM_READINGS_READY);
            w.pause(500);
        },
        [port = port()] { port.post(WM_READ_IDLE); });
}

void CADCDlg::OnRead()
{
    m_panel->clear();
    enable(IDC_ADC_READ, false);
    worker().setRun();
}

void CADCDlg::OnStop()
{
    worker().resetRun();
}
