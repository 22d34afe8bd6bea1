#pragma once
// A prompt service for tests: records every message box and file dialog and
// answers from a script, so no test ever blocks on a box. Install it for a
// scope with ScopedPromptRecorder. Thread-safe; a worker's prompt reaches it
// on the user-interface thread like any prompt.
#include "ui/Messages.h"
#include "ui/Prompts.h"

#include <deque>
#include <mutex>

namespace ui::testing {

class PromptRecorder : public PromptService {
public:
    struct Box {
        MessageBoxRequest ask;
        int answer = 0;
    };
    struct FileBox {
        FileDialogRequest ask;
        std::optional<QString> answer;
    };

    // Queues the answer to the next message box. Without one, a box gets
    // its first button (IDOK, IDYES, IDRETRY or IDABORT).
    void answer(int id);
    // Queues the answer to the next file dialog; without one it is cancelled.
    void answerFile(const QString& path);
    void cancelFile();

    std::vector<Box> boxes() const;
    std::vector<FileBox> fileDialogs() const;
    QStringList texts() const; // the texts of the boxes so far
    size_t count() const;      // message boxes so far
    void clear();

    int messageBox(const MessageBoxRequest& ask) override;
    std::optional<QString> fileDialog(const FileDialogRequest& ask) override;

private:
    mutable std::mutex m_mutex;
    std::deque<int> m_answers;
    std::deque<std::optional<QString>> m_fileAnswers;
    std::vector<Box> m_boxes;
    std::vector<FileBox> m_files;
};

class ScopedPromptRecorder : public PromptRecorder {
public:
    ScopedPromptRecorder() : m_previous(&promptService()) { setPromptService(this); }
    ~ScopedPromptRecorder() override { setPromptService(m_previous); }
    ScopedPromptRecorder(const ScopedPromptRecorder&) = delete;
    ScopedPromptRecorder& operator=(const ScopedPromptRecorder&) = delete;

private:
    PromptService* m_previous;
};

} // namespace ui::testing
