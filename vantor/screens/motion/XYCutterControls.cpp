#include "vantor/screens/motion/XYCutterControls.h"

#include <algorithm>

namespace vantor::motion {

void bindCurrentLevel(CTestDlg& dlg, int comboId, QString& level)
{
    dlg.bindComboText(comboId, level);
    dlg.addRule(
        [&dlg, comboId, &level] {
            if (dlg.comboItems(comboId).isEmpty())
                for (const QString& item : kCurrentLevels)
                    dlg.comboAdd(comboId, item);
            dlg.selectComboText(comboId, level);
        },
        {});
}

} // namespace vantor::motion
