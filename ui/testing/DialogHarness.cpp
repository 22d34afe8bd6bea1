#include "DialogHarness.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <QValidator>

namespace ui::testing {

bool processUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (done())
            return true;
        if (timer.elapsed() > limit.count())
            return false;
        QThread::usleep(200); // let a worker run between polls
    }
}

void processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

DialogHarness::DialogHarness(Dialog& dialog) : m_dialog(dialog)
{
    m_open = dialog.create();
    if (m_open && !dialog.hasEnded()) {
        dialog.show();
        processEvents();
    }
}

DialogHarness::~DialogHarness()
{
    if (m_dialog.isVisible())
        m_dialog.hide();
}

bool DialogHarness::canAct(int id) const
{
    QWidget* w = m_dialog.control(id);
    return w && w->isEnabled() && !w->isHidden() && !m_dialog.hasEnded();
}

bool DialogHarness::click(int id)
{
    auto* b = qobject_cast<QAbstractButton*>(m_dialog.control(id));
    if (!b || !canAct(id))
        return false;
    b->click();
    return true;
}

bool DialogHarness::setText(int id, const QString& text)
{
    if (!canAct(id))
        return false;
    QWidget* w = m_dialog.control(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->isReadOnly())
            return false;
        if (const QValidator* v = e->validator()) {
            QString t = text;
            int pos = 0;
            if (v->validate(t, pos) == QValidator::Invalid)
                return false;
        }
        e->setText(text);
        return true;
    }
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        if (e->isReadOnly())
            return false;
        e->setPlainText(text);
        return true;
    }
    if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->isEditable()) {
        cb->setEditText(text);
        return true;
    }
    return false;
}

bool DialogHarness::selectCombo(int id, int index)
{
    auto* cb = qobject_cast<QComboBox*>(m_dialog.control(id));
    if (!cb || !canAct(id) || index < 0 || index >= cb->count())
        return false;
    cb->setCurrentIndex(index);
    return true;
}

bool DialogHarness::selectComboText(int id, const QString& text)
{
    auto* cb = qobject_cast<QComboBox*>(m_dialog.control(id));
    return cb && selectCombo(id, cb->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

bool DialogHarness::selectListItem(int id, int index)
{
    auto* v = qobject_cast<QAbstractItemView*>(m_dialog.control(id));
    if (!v || !canAct(id) || index < 0 || index >= v->model()->rowCount())
        return false;
    v->selectionModel()->setCurrentIndex(v->model()->index(index, 0), QItemSelectionModel::ClearAndSelect);
    return true;
}

bool DialogHarness::setSliderPos(int id, int pos)
{
    auto* s = qobject_cast<QAbstractSlider*>(m_dialog.control(id));
    if (!s || !canAct(id))
        return false;
    s->setValue(pos);
    return true;
}

void DialogHarness::pressEnter()
{
    QWidget* target = QApplication::focusWidget();
    if (!target || !m_dialog.isAncestorOf(target))
        target = &m_dialog;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

void DialogHarness::pressEscape()
{
    QWidget* target = QApplication::focusWidget();
    if (!target || !m_dialog.isAncestorOf(target))
        target = &m_dialog;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

void DialogHarness::closeBox()
{
    m_dialog.close();
}

} // namespace ui::testing
