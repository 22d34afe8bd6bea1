#pragma once
// `vantor --history [--test T] [--serial S] [--since DATE] [--verdict V]
// [--format table|csv|json] [--limit N] [--db FILE]` lists the recorded runs,
// newest first (100 unless --limit says otherwise, 0 for all); `vantor --record UUID` prints one run whole (its JSON
// record). Both read the fleet server when DIAG_RECORDS names one, else the
// station's \Store\Records.db (or the file given with --db).
#include <QStringList>

namespace vantor {

bool wantsHistory(int argc, char* argv[]);

// Exit status: 0 shown, 1 no such run, 2 bad arguments or the store failed.
int historyCommand(const QStringList& arguments, QString& out, QString& err);
// The same, printed to standard output and standard error.
int runHistory(const QStringList& arguments);

} // namespace vantor
