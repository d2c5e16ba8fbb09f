#pragma once
// The desk's own databases checked for damage, and a day's backup put back in their place:
// at start-up when a file is damaged, and by "salonya --restore [yyyy-mm-dd]".

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace Restore {

// Empty when the file passes SQLite's quick check (or is missing or busy: nothing to tell yet);
// else what is wrong, in Turkish.
QString check(const QString& path);
// The own database files of the program folder that fail the check, each with what is wrong.
QStringList damaged(const QString& programDir, QStringList* reasons = nullptr);
// The newest backup day, not after `today`, whose copies of these files all pass the check; invalid when none.
QDate newestGoodDay(const QString& programDir, const QStringList& files, const QDate& today = QDate::currentDate());
// Copies these files of the day's backup over the program folder's, each through SQLite's backup into a
// new file that then takes the old one's place, its stale journals removed. Nothing of the desk may have
// them open. Empty when done, else why in Turkish; `done` names the files already put back.
QString run(const QString& programDir, const QDate& day, const QStringList& files, QStringList* done = nullptr);

// The start-up offer: a yes/no question to the user (tests answer it).
bool ask(const QString& text);
void setAskHandler(std::function<bool(const QString&)> handler);

} // namespace Restore
