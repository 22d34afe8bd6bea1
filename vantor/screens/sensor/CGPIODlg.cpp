#include "vantor/screens/sensor/CGPIODlg.h"

#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"

using namespace vantor::sensor;

CGPIODlg::CGPIODlg(QWidget* parent) : CReadingDlg(IDD_GPIO, parent)
{
    bindRadio(IDC_GPIO_OUT, m_direction);
    onNotify(IDC_GPIO_PIN, ui::Notify::SelectionChanged, &CGPIODlg::OnSelect);
    onCommand(IDC_GPIO_OUT, &CGPIODlg::OnDirection);
    onCommand(IDC_GPIO_IN, &CGPIODlg::OnDirection);
    onCommand(IDC_GPIO_READ, &CGPIODlg::OnRead);
    onCommand(IDC_GPIO_SET, &CGPIODlg::OnSet);
    onMessage(vantor::WM_READINGS_READY, &CGPIODlg::OnReadingsReady);
}

CGPIODlg::~CGPIODlg()
{
    stopWorker();
}

void CGPIODlg::initControls()
{
    m_direction = 1;
    updateData(false);
    setText(IDC_GPIO_STATUS, QString());
    control(IDC_GPIO_STATUS)->setAccessibleName(QStringLiteral("Status"));
    m_pins = std::make_unique<CPinDlg>(this);
    m_pins->Create(QPoint(40, 80));
    m_pins->setEditable(CPinDlg::kOutput, true);
    for (const protocol::GpioGroup& g : protocol::kGpioGroups)
        comboAdd(IDC_GPIO_PIN, GpioGroupLabel(g));
    setComboIndex(IDC_GPIO_PIN, kGpioDefaultRow);
    OnSelect();
}

void CGPIODlg::startWorker()
{
    m_request = std::make_shared<GpioRequest>(driver());
    worker().start([request = m_request, port = port()](ReadingWorker& w) {
        request->perform();
        w.resetRun();
        port.post(vantor::WM_READINGS_READY);
        w.pause(500);
    });
}

const protocol::GpioGroup* CGPIODlg::selectedGroup() const
{
    const int row = comboIndex(IDC_GPIO_PIN);
    if (row < 0 || row >= kGpioGroupCount)
        return nullptr;
    return &protocol::kGpioGroups[row];
}

void CGPIODlg::OnSelect()
{
    const protocol::GpioGroup* g = selectedGroup();
    if (!g)
        return;
    m_pins->clear();
    for (int k = 0; k < CPinDlg::kPins; ++k)
        m_pins->setPin(k, QString::number(GpioPinNumber(*g, k)), GpioPinType(*g, k));
    setText(IDC_GPIO_STATUS, QString());
    m_pins->refresh();
    OnDirection();
}

void CGPIODlg::OnDirection()
{
    updateData(true);
    m_pins->setMode(m_direction == 1 ? CPinDlg::kInput : CPinDlg::kOutput);
    m_pins->refresh();
    enableByDirection();
}

void CGPIODlg::enableByDirection()
{
    const bool in = m_direction == 1;
    enable(IDC_GPIO_READ, in);
    enable(IDC_GPIO_SET, !in);
}

void CGPIODlg::OnRead()
{
    setText(IDC_GPIO_STATUS, QString());
    const protocol::GpioGroup* g = selectedGroup();
    if (!g)
        return;
    if (!m_pins->hasType('I')) {
        setText(IDC_GPIO_STATUS, kNoGpioIn);
        return;
    }
    enable(IDC_GPIO_READ, false);
    m_request->prepare(GpioRequest::Op::Read, g->item);
    worker().setRun();
}

void CGPIODlg::OnSet()
{
    setText(IDC_GPIO_STATUS, QString());
    const protocol::GpioGroup* g = selectedGroup();
    if (!g)
        return;
    if (!m_pins->hasType('O')) {
        setText(IDC_GPIO_STATUS, kNoGpioOut);
        return;
    }
    enable(IDC_GPIO_SET, false);
    const int32_t byte = m_pins->byteValue();
    m_request->prepare(GpioRequest::Op::Set, g->item, uint8_t(byte < 0 ? 0 : byte));
    worker().setRun();
}

void CGPIODlg::OnReadingsReady(ui::Message&)
{
    const GpioRequest::Result r = m_request->result();
    if (r.shown)
        m_pins->showValue(*r.shown);
    m_pins->refresh();
    setText(IDC_GPIO_STATUS, r.status);
    enableByDirection();
}
