#pragma once
// One prompt service for message boxes and file dialogs. Screens call the
// free functions below from any thread; a worker's prompt runs on the
// user-interface thread while the worker waits for the answer. The Qt
// service shows real boxes; tests install a recorder (ui/testing) that
// answers from a script.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace ui {

enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

struct MessageBoxRequest {
    QString text;
    QString caption; // empty: the program's name
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

struct FileDialogRequest {
    bool save = false;
    QString title;
    // The platform's filter: "Text (*.txt)|*.txt|All Files (*.*)|*.*||"
    QString filter;
    QString defaultExtension; // added when the chosen name has none ("txt")
    QString fileName;         // initial name or path
    bool overwritePrompt = false;
    bool hideReadOnly = false;
};

class PromptService {
public:
    virtual ~PromptService() = default;
    // Returns IDOK, IDCANCEL, IDYES, IDNO, ... (ui/Messages.h).
    virtual int messageBox(const MessageBoxRequest& ask) = 0;
    // The chosen path, or nullopt when cancelled.
    virtual std::optional<QString> fileDialog(const FileDialogRequest& ask) = 0;
};

// The service in force (the Qt one unless another is installed); setting
// nullptr restores the Qt one. The caller keeps ownership.
PromptService& promptService();
void setPromptService(PromptService* service);

int messageBox(const QString& text, const QString& caption = {}, MsgIcon icon = MsgIcon::None,
               MsgButtons buttons = MsgButtons::Ok);
int messageBox(const MessageBoxRequest& ask);
std::optional<QString> fileDialog(const FileDialogRequest& ask);

// Releases workers waiting for a prompt (they get IDCANCEL / nullopt) and
// refuses further worker prompts until each call is matched by
// reopenWorkerPrompts(). A dialog calls the first when it stops taking
// messages and the second when it is destroyed, so a worker cannot hold up a
// closing dialog with a box.
void cancelWorkerPrompts();
void reopenWorkerPrompts();

// The platform's filter string as (description, patterns) pairs, "*.*"
// meaning every file.
struct FileFilter {
    QString description;
    QStringList patterns;
};
std::vector<FileFilter> parseFileFilter(const QString& filter);
// The same as Qt name filters: "Text (*.txt)", "All Files (*)".
QStringList qtNameFilters(const QString& filter);
// Adds ".ext" when the file name has no extension.
QString withDefaultExtension(const QString& path, const QString& extension);

} // namespace ui
