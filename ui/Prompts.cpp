#include "Prompts.h"

#include "Messages.h"
#include "UiThread.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <atomic>
#include <mutex>

namespace ui {

namespace {

class QtPromptService final : public PromptService {
public:
    int messageBox(const MessageBoxRequest& ask) override
    {
        QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow());
        box.setText(ask.text);
        box.setWindowTitle(ask.caption);
        switch (ask.icon) {
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::None: break;
        }
        using B = QMessageBox::StandardButton;
        struct Map { B button; int answer; };
        std::vector<Map> map;
        switch (ask.buttons) {
        case MsgButtons::Ok: map = {{B::Ok, IDOK}}; break;
        case MsgButtons::OkCancel: map = {{B::Ok, IDOK}, {B::Cancel, IDCANCEL}}; break;
        case MsgButtons::YesNo: map = {{B::Yes, IDYES}, {B::No, IDNO}}; break;
        case MsgButtons::YesNoCancel: map = {{B::Yes, IDYES}, {B::No, IDNO}, {B::Cancel, IDCANCEL}}; break;
        case MsgButtons::RetryCancel: map = {{B::Retry, IDRETRY}, {B::Cancel, IDCANCEL}}; break;
        case MsgButtons::AbortRetryIgnore: map = {{B::Abort, IDABORT}, {B::Retry, IDRETRY}, {B::Ignore, IDIGNORE}}; break;
        }
        QMessageBox::StandardButtons all;
        for (const Map& m : map)
            all |= m.button;
        box.setStandardButtons(all);
        box.setDefaultButton(map.front().button);
        const int r = box.exec();
        for (const Map& m : map)
            if (r == m.button)
                return m.answer;
        return map.size() == 1 ? IDOK : IDCANCEL;
    }

    std::optional<QString> fileDialog(const FileDialogRequest& ask) override
    {
        QFileDialog dlg(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow(),
                        ask.title);
        dlg.setAcceptMode(ask.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(ask.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        const QStringList filters = qtNameFilters(ask.filter);
        if (!filters.isEmpty())
            dlg.setNameFilters(filters);
        dlg.setDefaultSuffix(ask.defaultExtension);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !ask.overwritePrompt);
        if (!ask.fileName.isEmpty())
            dlg.selectFile(ask.fileName);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return withDefaultExtension(dlg.selectedFiles().first(), ask.defaultExtension);
    }
};

QtPromptService& qtService()
{
    static QtPromptService s;
    return s;
}

std::atomic<PromptService*> g_service{nullptr};

CallGroup& workerPrompts()
{
    static CallGroup g;
    return g;
}

// Runs `f` on the interface thread; false when a worker's prompt was refused
// or cancelled before it ran. Answers travel back through the caller's own
// variables: passing an optional through here by value made GCC 12 at -O3
// warn of a maybe-uninitialized string.
template <class F>
bool onUi(F f)
{
    if (onUiThread() || !QCoreApplication::instance()) {
        f();
        return true;
    }
    return callOnUiThread(f, &workerPrompts());
}

} // namespace

PromptService& promptService()
{
    PromptService* s = g_service.load();
    return s ? *s : qtService();
}

void setPromptService(PromptService* service)
{
    g_service.store(service);
}

int messageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons)
{
    return messageBox(MessageBoxRequest{text, caption, icon, buttons});
}

int messageBox(const MessageBoxRequest& ask)
{
    MessageBoxRequest s = ask;
    if (s.caption.isEmpty())
        s.caption = QCoreApplication::applicationName();
    int answer = IDCANCEL;
    onUi([&] { answer = promptService().messageBox(s); });
    return answer;
}

std::optional<QString> fileDialog(const FileDialogRequest& ask)
{
    QString path;
    bool chosen = false;
    onUi([&] {
        if (std::optional<QString> p = promptService().fileDialog(ask)) {
            path = std::move(*p);
            chosen = true;
        }
    });
    if (!chosen)
        return std::nullopt;
    return path;
}

namespace {
std::mutex g_refuseMutex;
int g_refusals = 0;
} // namespace

void cancelWorkerPrompts()
{
    std::lock_guard l(g_refuseMutex);
    ++g_refusals;
    workerPrompts().cancelAll(true);
}

void reopenWorkerPrompts()
{
    std::lock_guard l(g_refuseMutex);
    if (g_refusals > 0 && --g_refusals == 0)
        workerPrompts().reopen();
}

std::vector<FileFilter> parseFileFilter(const QString& filter)
{
    std::vector<FileFilter> out;
    const QStringList parts = filter.split(u'|');
    // pairs of description and patterns; an empty description ends the list ("||")
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        FileFilter f;
        f.description = parts[i];
        for (QString p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            f.patterns << (p == u"*.*" ? QStringLiteral("*") : p);
        }
        out.push_back(f);
    }
    return out;
}

QStringList qtNameFilters(const QString& filter)
{
    QStringList out;
    for (const FileFilter& f : parseFileFilter(filter)) {
        QString d = f.description;
        const qsizetype paren = d.lastIndexOf(u'(');
        if (paren > 0)
            d = d.left(paren).trimmed(); // Qt reads the patterns from the parentheses
        out << QStringLiteral("%1 (%2)").arg(d, f.patterns.join(u' '));
    }
    return out;
}

QString withDefaultExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + u'.' + extension;
}

} // namespace ui
