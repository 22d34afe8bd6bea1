#pragma once
// Reads the user guide's Markdown pages (docs/guide/<program>/*.md) and
// finds what no longer matches the programs: a menu button without a page,
// a page naming a button the menu does not have, a picture that is not
// there, a settings key the settings store does not know in the page's
// section.
//
// What a page declares, in its own Markdown:
//   **Menu button:** "Platen Test"            (one or more quoted labels)
//   **Settings section:** "Platen"            (one or more quoted sections)
//   ![caption](../images/platen.png)          (pictures, relative to the page)
//   | ... | Settings key |                    (a table column; `Key` in backticks)
//   vantor --run "Platen Test" --cycles 2     (in a code block: the headless command)
#include <QString>
#include <QStringList>
#include <functional>

namespace guide {

struct Page {
    QString file;
    QStringList buttons;
    QStringList sections;
    QStringList pictures; // as written, relative to the page's folder
    QStringList keys;     // from every "Settings key" column
    QStringList runs;     // tests named by `vantor --run "..."` in code blocks
};

Page parsePage(const QString& file, const QString& markdown);

// Whether the settings store keeps `key` in `section` (both as written on
// the page; case is the store's business).
using KnowsKey = std::function<bool(const QString& section, const QString& key)>;

// One line per problem; empty when the pages of `folder` cover `buttons`
// and everything they name exists. `runnable` are the buttons whose test runs
// without a window: their page gives the command, and no page gives it for
// another test.
QStringList checkPages(const QString& folder, const QStringList& buttons, const KnowsKey& knows,
                       const QStringList& runnable = {});

// The labels of the push buttons of a menu template whose ids pass `keep`
// (in template order); empty with `error` set when the script does not parse.
QStringList menuButtonLabels(const QString& script, int dialogId, const std::function<bool(int id)>& keep,
                             QString* error);

} // namespace guide
