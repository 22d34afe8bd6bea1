#pragma once
// A random operator: a seeded walk over the enabled controls of one screen
// after another, in-process through the dialog harness, with prompts
// answered at random and the dialog closed or destroyed at random moments.
// After every action it checks that nothing hung for 5 s and that no box
// came up empty or with an internal error; a failure prints the seed and the
// actions of the screen's session that led to it.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

#include "platform/Clock.h"
#include "ui/Dialog.h"
#include "ui/Prompts.h"

namespace randomop {

struct Screen {
    QString name;
    std::function<std::unique_ptr<ui::Dialog>()> open;
};

struct Options {
    uint64_t seed = 1;
    long long actions = 1000;
    QString screen;  // only this screen (by name, any case) when set
    QString logPath; // every action, flushed, for a run that crashes
    QString scratch; // a folder for the files the walk picks
    static Options parse(int argc, char** argv, QString* error);
};

// The class of a screen without its namespace ("CPlatenDlg").
QString className(const QObject& object);

// Texts an operator might type into any box.
const QStringList& hostileTexts();

// Answers every box with one of its own buttons and every file dialog with a
// cancel, a plain name, a name with "..", or one in a folder that does not
// exist; remembers the faults it saw (empty text, an internal error).
class RandomPrompts : public ui::PromptService {
public:
    RandomPrompts(uint64_t seed, QString scratch);
    int messageBox(const ui::MessageBoxRequest& ask) override;
    std::optional<QString> fileDialog(const ui::FileDialogRequest& ask) override;
    // The faults since the last call.
    QStringList takeFaults();
    long long boxes() const;

private:
    mutable std::mutex m_mutex;
    std::mt19937_64 m_rng;
    QString m_scratch;
    QStringList m_faults;
    long long m_boxes = 0;
};

// The answers a box of these buttons can give.
std::vector<int> answersOf(ui::MsgButtons buttons);

class Walker {
public:
    // `faults(rng)` switches the printer's faults at random; `tick` runs once
    // per action (for checks of the program's own).
    Walker(Options options, std::vector<Screen> screens, platform::ManualClock& clock);
    ~Walker();
    std::function<void(std::mt19937_64&, QStringList& log)> switchFaults;
    // 0 when the walk ended clean, 1 on a fault (already reported).
    int run();
    long long actionsDone() const { return m_done; }

private:
    bool walkScreen(const Screen& screen, int session);
    QString act(ui::Dialog& dialog, bool& closed);
    void note(const QString& action);
    bool check(const QString& screen, int session, double seconds);
    void fail(const QString& screen, int session, const QString& why);
    void destroy(std::unique_ptr<ui::Dialog>& dialog);

    Options m_options;
    std::vector<Screen> m_screens;
    platform::ManualClock& m_clock;
    std::mt19937_64 m_rng;
    RandomPrompts m_prompts;
    ui::PromptService* m_previousPrompts;
    QStringList m_session; // the actions of the current screen
    long long m_done = 0;
    std::FILE* m_log = nullptr;
    struct Hand;
    std::unique_ptr<Hand> m_hand;
};

} // namespace randomop
