#include "vantor/screens/sensor/CReadingDlg.h"

namespace vantor::sensor {

CReadingDlg::CReadingDlg(int templateId, QWidget* parent) : ui::Dialog(templateId, parent) {}

CReadingDlg::~CReadingDlg()
{
    stopWorker();
}

bool CReadingDlg::onInitDialog()
{
    m_driver = openDriver();
    initControls();
    startWorker();
    return true;
}

void CReadingDlg::onCancel()
{
    stopWorker();
    ui::Dialog::onCancel();
}

void CReadingDlg::stopWorker()
{
    if (m_stopped)
        return;
    m_stopped = true;
    // Released first: a worker waiting in a prompt or a post sees quit.
    closeMessages();
    // Still inside a request after the three waits: the request always ends,
    // and the run objects it uses are the worker's own.
    if (!m_worker.close())
        m_worker.join();
}

} // namespace vantor::sensor
