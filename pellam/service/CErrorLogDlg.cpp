#include "CErrorLogDlg.h"

#include "pellam/driver/UserDriver.h"
#include "pellam/res/PellamResources.h"
#include "pellam/service/ErrorLog.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"

namespace pellam {

CErrorLogDlg::CErrorLogDlg(QWidget* parent) : ui::Dialog(IDD_ERROR_LOG, parent)
{
    // A log may hold millions of lines: the compact list takes them at any length.
    useResultList(IDC_EL_LIST);
    onCommand(IDC_EL_PRINT, [this] { onPrint(); });
    onCommand(IDC_CLOSE, [this] { onCancel(); });
    onMessage(WM_LOG_OPENED, [this](ui::Message& m) { onOpened(m); });
    onMessage(WM_LOG_LINES, [this](ui::Message& m) { onLines(m); });
    onMessage(WM_LOG_PRINTED, [this](ui::Message& m) { onPrinted(m); });
}

CErrorLogDlg::~CErrorLogDlg() { stopWorkers(); }

bool CErrorLogDlg::onInitDialog()
{
    // The list has no label of its own: it is the log the caption names.
    if (QWidget* list = control(IDC_EL_LIST))
        list->setAccessibleName(windowTitle());

    m_nothingToPrint = 1;
    auto cancel = m_cancelLoad;
    const ui::MessagePort p = port();
    m_loader = std::make_unique<platform::WorkerThread>();
    m_loader->start([cancel, p] {
        service::LogSink sink;
        sink.opened = [&](bool opened, qint64 length) {
            p.send(WM_LOG_OPENED, opened ? 1 : 0, length > 0 ? 1 : 0);
        };
        sink.lines = [&](QStringList lines) {
            return p.send(WM_LOG_LINES, 0, 0, ui::Payload::of(std::move(lines)));
        };
        service::loadErrorLog(QString::fromUtf16(service::kErrorLogPath), sink, cancel.get());
    });

    m_print->driver = driver::openPrinter();
    if (!service::createLogImage(m_print->driver, m_print->image)) {
        ui::messageBox(ui::loadString(IDS_NO_BITMAP));
        // Nothing can be printed without the image; the log still lists.
        enable(IDC_EL_PRINT, false);
    }
    return true;
}

bool CErrorLogDlg::loading() const { return m_loader && !m_loader->finished(); }

bool CErrorLogDlg::printing() const { return m_printer && !m_printer->finished(); }

void CErrorLogDlg::onOpened(ui::Message& m)
{
    if (m.wParam == 0)
        return; // no file: the flag stays set, the list empty
    if (m.lParam == 0) {
        enable(IDC_EL_PRINT, false);
        return;
    }
    m_nothingToPrint = 0;
}

void CErrorLogDlg::onLines(ui::Message& m)
{
    const QStringList* lines = m.payload.get<QStringList>();
    if (!lines)
        return;
    if (ui::ResultList* list = resultList(IDC_EL_LIST))
        list->appendLines(*lines);
}

void CErrorLogDlg::onPrint()
{
    if (m_nothingToPrint || printing() || !m_print->image.isValid())
        return;
    QStringList first;
    if (ui::ResultList* list = resultList(IDC_EL_LIST))
        for (qsizetype i = 0; i < std::min<qsizetype>(list->count(), service::kPrintedLogLines); ++i)
            first << list->line(i);
    const QString text = service::printText(first);

    enable(IDC_CLOSE, false);
    enable(IDC_EL_PRINT, false);
    setCloseEnabled(false);
    if (m_printer)
        m_printer->join(platform::Millis(0));
    m_printer = std::make_unique<platform::WorkerThread>();
    auto shared = m_print;
    const ui::MessagePort p = port();
    m_printer->start([shared, p, text] {
        service::printErrorLog(shared->driver, shared->image, text, [shared] { return shared->closing.load(); });
        p.post(WM_LOG_PRINTED);
    });
}

void CErrorLogDlg::onPrinted(ui::Message&)
{
    enable(IDC_CLOSE);
    enable(IDC_EL_PRINT);
    setCloseEnabled(true);
}

void CErrorLogDlg::stopWorkers()
{
    m_cancelLoad->store(true);
    m_print->closing = true;
    // A loader waiting in send() is released; later messages are dropped.
    closeMessages();
    for (auto* worker : {&m_loader, &m_printer}) {
        if (!*worker)
            continue;
        while (!(*worker)->join(platform::Millis(5000))) {
        }
        worker->reset();
    }
}

void CErrorLogDlg::onCancel()
{
    if (!closeEnabled())
        return;
    stopWorkers();
    ui::Dialog::onCancel();
}

} // namespace pellam
