#include "CVantorDlg.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <set>

#include "vantor/res/resource.h"

namespace vantor {

CVantorDlg::CVantorDlg(QWidget* parent) : CVantorDlg(testScreens(), parent) {}

CVantorDlg::CVantorDlg(const std::vector<TestScreen>& screens, QWidget* parent)
    : ui::Dialog(IDD_VANTOR_DIALOG, parent), m_screens(screens),
      // The program sets its icon before the menu is made: drawn once.
      m_hIcon(QApplication::windowIcon().isNull() ? vantorIcon() : QApplication::windowIcon())
{
    for (const TestScreen& s : m_screens)
        if (s.open)
            onCommand(s.commandId, [open = s.open] {
                // Modal, and gone when it closes: one screen at a time.
                if (std::unique_ptr<ui::Dialog> screen = open())
                    screen->doModal();
            });
}

QString CVantorDlg::versionedCaption(const QString& caption)
{
    return QStringLiteral("%1 - v1.02").arg(caption);
}

bool CVantorDlg::onInitDialog()
{
    setWindowIcon(m_hIcon);
    setWindowTitle(versionedCaption(windowTitle()));
    // A button whose screen is not built yet stays visible but cannot be pressed.
    std::set<int> built;
    for (const TestScreen& s : m_screens)
        if (s.open)
            built.insert(s.commandId);
    for (int id : controlIds())
        if (qobject_cast<QPushButton*>(control(id)) && !built.count(id))
            enable(id, false);
    return true;
}

QIcon vantorIcon()
{
    // A printer with a label coming out: drawn, so the program carries no
    // image file.
    QIcon icon;
    for (int side : {16, 32, 48}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = side / 16.0;
        p.setPen(QPen(QColor(40, 40, 40), u * 0.8));
        p.setBrush(QColor(70, 110, 170));
        p.drawRoundedRect(QRectF(1 * u, 5 * u, 14 * u, 7 * u), 1.5 * u, 1.5 * u);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4 * u, 1 * u, 8 * u, 4 * u));
        p.drawRect(QRectF(4 * u, 10 * u, 8 * u, 5 * u));
        p.setPen(QPen(QColor(200, 40, 40), u));
        p.drawLine(QPointF(5.5 * u, 12.5 * u), QPointF(10.5 * u, 12.5 * u));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace vantor
