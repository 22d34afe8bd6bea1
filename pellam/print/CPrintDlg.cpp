#include "CPrintDlg.h"

#include "pellam/driver/PrintSequence.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/print/CPreviewDlg.h"
#include "pellam/print/PrintJob.h"
#include "pellam/res/PellamResources.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"

namespace pellam {

namespace {

constexpr platform::Millis kBetweenJobs{2000};

QString countText(int count) { return QString::asprintf("Count: %i", count); }

void runSingle(const std::shared_ptr<CPrintDlg::Shared>& s, ui::MessagePort port, int pixels, int inches)
{
    port.post(WM_PRINT_EVENT, CPrintDlg::SingleStarted);
    const driver::GiveUp giveUp = [s] { return s->closing.load(); };
    driver::beginJob(s->driver);
    driver::sendImage(s->driver, [&](platform::DeviceHandle& h) {
        print::prepareJob(h, s->image, pixels, inches);
        print::writeJobRows(h, s->image, inches);
    });
    driver::waitWhileBusy(s->driver, driver::kPrintTestSettle, giveUp);
    driver::endJob(s->driver);
    port.post(WM_PRINT_EVENT, CPrintDlg::SingleEnded);
}

void runContinuous(const std::shared_ptr<CPrintDlg::Shared>& s, ui::MessagePort port, int pixels, int inches)
{
    port.post(WM_PRINT_EVENT, CPrintDlg::ContinuousStarted);
    const driver::GiveUp giveUp = [s] { return s->closing.load(); };
    driver::beginJob(s->driver);
    int count = 0;
    // The stop request is read at the top of each job: a job under way always
    // finishes.
    while (!s->stop) {
        ++count;
        port.post(WM_PRINT_EVENT, CPrintDlg::JobStarted, count);
        driver::sendImage(s->driver, [&](platform::DeviceHandle& h) {
            print::prepareJob(h, s->image, pixels, inches);
            print::writeJobRows(h, s->image, inches);
        });
        driver::waitWhileBusy(s->driver, driver::kPrintTestSettle, giveUp);
        port.post(WM_PRINT_EVENT, CPrintDlg::JobDone, count);
        if (s->closing)
            break;
        platform::sleep(kBetweenJobs);
    }
    driver::endJob(s->driver);
    port.post(WM_PRINT_EVENT, CPrintDlg::ContinuousEnded);
}

} // namespace

CPrintDlg::CPrintDlg(QWidget* parent) : ui::Dialog(IDD_PRINT_TEST, parent)
{
    onNotify(IDC_PT_PIXELS, ui::Notify::SliderMoved, [this] { onSlider(); });
    onNotify(IDC_PT_LENGTH, ui::Notify::SliderMoved, [this] { onSlider(); });
    onCommand(IDC_PT_PRINT, [this] { onPrint(); });
    onCommand(IDC_PT_STOP, [this] { onStop(); });
    onCommand(IDC_PT_PREVIEW, [this] { onPreview(); });
    onCommand(IDC_CLOSE, [this] { onCancel(); });
    onMessage(WM_PRINT_EVENT, [this](ui::Message& m) { onPrintEvent(m); });
}

CPrintDlg::~CPrintDlg() { stopWorker(); }

bool CPrintDlg::onInitDialog()
{
    m_shared->driver = driver::openPrinter();
    driver::preparePrinting(m_shared->driver);

    m_shared->stop = false;
    setSliderRange(IDC_PT_PIXELS, print::kSliderMin, print::kSliderMax);
    setSliderRange(IDC_PT_LENGTH, print::kSliderMin, print::kSliderMax);
    setSliderPos(IDC_PT_PIXELS, 8);
    setSliderPos(IDC_PT_LENGTH, 3);
    onSlider();
    setChecked(IDC_PT_SINGLE, true);

    // One inch of columns: every band of the job repeats it.
    if (!m_shared->image.create(driver::dotWidth(m_shared->driver), 300)) {
        ui::messageBox(ui::loadString(IDS_NO_BITMAP));
        // Nothing to print or preview without the image; the menu can still close.
        enable(IDC_PT_PRINT, false);
        enable(IDC_PT_PREVIEW, false);
    }
    return true;
}

void CPrintDlg::onSlider()
{
    m_pixels = print::pixelDimension(sliderPos(IDC_PT_PIXELS));
    m_inches = std::clamp(sliderPos(IDC_PT_LENGTH), print::kSliderMin, print::kSliderMax);
    setText(IDC_PT_PIXELS_VALUE, QString::asprintf("%i", m_pixels));
    setText(IDC_PT_LENGTH_VALUE, QString::asprintf("%i", m_inches));
}

bool CPrintDlg::workerRunning() const { return m_worker && !m_worker->finished(); }

void CPrintDlg::onPrint()
{
    // The last continuous job may still be under way after "Stop": never a
    // second worker on the handle.
    if (workerRunning() || !m_shared->image.isValid())
        return;
    onSlider();
    const bool single = isChecked(IDC_PT_SINGLE);
    if (!single && !isChecked(IDC_PT_CONTINUOUS))
        return;
    if (m_worker)
        m_worker->join(platform::Millis(0));
    // The worker's first notice comes later; no second press meanwhile.
    setPrinting(true);
    // Cleared here, before the worker exists, so a "Stop" pressed at once counts.
    m_shared->stop = false;
    m_worker = std::make_unique<platform::WorkerThread>();
    auto shared = m_shared;
    const ui::MessagePort p = port();
    const int pixels = m_pixels, inches = m_inches;
    if (single)
        m_worker->start([shared, p, pixels, inches] { runSingle(shared, p, pixels, inches); });
    else
        m_worker->start([shared, p, pixels, inches] { runContinuous(shared, p, pixels, inches); });
}

void CPrintDlg::setPrinting(bool printing)
{
    enable(IDC_PT_PRINT, !printing);
    enable(IDC_CLOSE, !printing);
    enable(IDC_PT_PREVIEW, !printing);
    setCloseEnabled(!printing);
}

void CPrintDlg::onStop()
{
    m_shared->stop = true;
    setText(IDC_PT_STATUS, ui::loadString(IDS_STATUS_STOPPED));
    setText(IDC_PT_STATUS, ui::loadString(IDS_IDLE));
    enable(IDC_PT_PRINT);
    enable(IDC_CLOSE);
    setCloseEnabled(true);
}

void CPrintDlg::onPreview()
{
    if (workerRunning() || !m_shared->image.isValid())
        return;
    onSlider();
    print::prepareJob(m_shared->driver, m_shared->image, m_pixels, m_inches);
    CPreviewDlg preview(m_shared->image, this);
    preview.doModal();
}

void CPrintDlg::onPrintEvent(ui::Message& m)
{
    switch (m.wParam) {
    case SingleStarted:
        setText(IDC_PT_STATUS, QStringLiteral("Status: Printing...(Single)"));
        setPrinting(true);
        enable(IDC_PT_STOP, false);
        break;
    case SingleEnded:
        setText(IDC_PT_STATUS, ui::loadString(IDS_IDLE));
        setPrinting(false);
        enable(IDC_PT_STOP);
        break;
    case ContinuousStarted:
        setText(IDC_PT_COUNT, countText(0));
        setText(IDC_PT_STATUS, QStringLiteral("Status: Printing...(Continuous)"));
        setPrinting(true);
        break;
    case JobStarted:
        enable(IDC_PT_STOP, false);
        setText(IDC_PT_COUNT, countText(int(m.lParam)));
        break;
    case JobDone:
        enable(IDC_PT_STOP);
        break;
    case ContinuousEnded:
        setText(IDC_PT_STATUS, ui::loadString(IDS_IDLE));
        setText(IDC_PT_COUNT, countText(0));
        setPrinting(false);
        enable(IDC_PT_STOP);
        break;
    default:
        break;
    }
}

void CPrintDlg::stopWorker()
{
    if (!m_worker)
        return;
    m_shared->stop = true;
    m_shared->closing = true;
    closeMessages();
    // The rest of the job under way; the busy wait is given up.
    while (!m_worker->join(platform::Millis(5000))) {
    }
    m_worker.reset();
}

void CPrintDlg::onCancel()
{
    if (!closeEnabled())
        return;
    stopWorker();
    ui::Dialog::onCancel();
}

} // namespace pellam
