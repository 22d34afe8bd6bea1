#include "PromptRecorder.h"

namespace ui::testing {

void PromptRecorder::answer(int id)
{
    std::lock_guard l(m_mutex);
    m_answers.push_back(id);
}

void PromptRecorder::answerFile(const QString& path)
{
    std::lock_guard l(m_mutex);
    m_fileAnswers.push_back(path);
}

void PromptRecorder::cancelFile()
{
    std::lock_guard l(m_mutex);
    m_fileAnswers.push_back(std::nullopt);
}

std::vector<PromptRecorder::Box> PromptRecorder::boxes() const
{
    std::lock_guard l(m_mutex);
    return m_boxes;
}

std::vector<PromptRecorder::FileBox> PromptRecorder::fileDialogs() const
{
    std::lock_guard l(m_mutex);
    return m_files;
}

QStringList PromptRecorder::texts() const
{
    std::lock_guard l(m_mutex);
    QStringList out;
    for (const Box& b : m_boxes)
        out << b.ask.text;
    return out;
}

size_t PromptRecorder::count() const
{
    std::lock_guard l(m_mutex);
    return m_boxes.size();
}

void PromptRecorder::clear()
{
    std::lock_guard l(m_mutex);
    m_answers.clear();
    m_fileAnswers.clear();
    m_boxes.clear();
    m_files.clear();
}

int PromptRecorder::messageBox(const MessageBoxRequest& ask)
{
    std::lock_guard l(m_mutex);
    int a;
    if (!m_answers.empty()) {
        a = m_answers.front();
        m_answers.pop_front();
    } else {
        switch (ask.buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: a = IDYES; break;
        case MsgButtons::RetryCancel: a = IDRETRY; break;
        case MsgButtons::AbortRetryIgnore: a = IDABORT; break;
        default: a = IDOK;
        }
    }
    m_boxes.push_back({ask, a});
    return a;
}

std::optional<QString> PromptRecorder::fileDialog(const FileDialogRequest& ask)
{
    std::lock_guard l(m_mutex);
    std::optional<QString> a;
    if (!m_fileAnswers.empty()) {
        a = m_fileAnswers.front();
        m_fileAnswers.pop_front();
    }
    if (a)
        a = withDefaultExtension(*a, ask.defaultExtension);
    m_files.push_back({ask, a});
    return a;
}

} // namespace ui::testing
