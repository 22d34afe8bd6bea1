#include "vantor/screens/sensor/CMediaJamDlg.h"

#include "vantor/res/resource.h"
#include "vantor/screens/sensor/MediaJamRun.h"

CMediaJamDlg::CMediaJamDlg(QWidget* parent)
    : TestDialog(IDD_MEDIA_JAM, vantor::sensor::kMediaJamTest, parent, vantor::Commit::AtClose)
{
    bind(IDC_MJ_LENGTH, m_values.length);
    bind(IDC_MJ_COPIES, m_values.copies);
    bindCheck(IDC_MJ_END_CUT, m_values.endCut);
}
