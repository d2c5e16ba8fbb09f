#include "restore.h"

#include "backup.h"
#include "data/database.h"
#include "data/pgengine.h"
#include "data/schema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <cstdio>
#include <sqlite3.h>

namespace Restore {
namespace {

std::function<bool(const QString&)>& askHandler()
{
    static std::function<bool(const QString&)> h;
    return h;
}

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

QString check(const QString& path)
{
    if (!QFileInfo::exists(path)) return {};
    sqlite3* db = nullptr;
    // Read-write, so that a hot journal left by a crash is rolled back first, as the desk's own open would.
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QString result;
    sqlite3_stmt* st = nullptr;
    if (rc == SQLITE_OK) Database::registerFunctions(db); // the schema names the Turkish collation
    if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &st, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        if (!text || qstrcmp(text, "ok") != 0) result = Database::reason(SQLITE_CORRUPT);
    } else if ((rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) {
        result = Database::reason(rc == SQLITE_DONE ? SQLITE_CORRUPT : rc);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}

QStringList damaged(const QString& programDir, QStringList* reasons)
{
    QStringList out;
    for (const char* name : {Schema::CariFile, Schema::StokFile, Schema::SalonyaFile}) {
        const QString why = check(programDir + u'/' + QString::fromLatin1(name));
        if (why.isEmpty()) continue;
        out << QString::fromLatin1(name);
        if (reasons) *reasons << why;
    }
    return out;
}

QDate newestGoodDay(const QString& programDir, const QStringList& files, const QDate& today)
{
    const QList<QDate> days = Backup::days(programDir);
    if (!Pg::serverSetting().isEmpty()) {
        for (auto d = days.rbegin(); d != days.rend(); ++d)
            if (*d <= today && QFileInfo(Backup::folderOf(programDir, *d) + u'/' + QString::fromLatin1(Backup::ServerDump)).size() > 0) return *d;
        return {};
    }
    for (auto d = days.rbegin(); d != days.rend(); ++d) {
        if (*d > today) continue;
        const QString folder = Backup::folderOf(programDir, *d);
        if (std::all_of(files.begin(), files.end(), [&](const QString& f) {
                return QFileInfo::exists(folder + u'/' + f) && check(folder + u'/' + f).isEmpty();
            }))
            return *d;
    }
    return {};
}

QString run(const QString& programDir, const QDate& day, const QStringList& files, QStringList* done)
{
    const QString folder = Backup::folderOf(programDir, day);
    // On a salon server the day's dump replaces the three schemas in one transaction.
    if (const QString server = Pg::serverSetting(); !server.isEmpty()) {
        const QString dump = folder + u'/' + QString::fromLatin1(Backup::ServerDump);
        if (!QFileInfo::exists(dump)) return QStringLiteral("Yedekte %1 yok.").arg(native(dump));
        QProcess restore;
        restore.start(QStringLiteral("pg_restore"), {QStringLiteral("--clean"), QStringLiteral("--if-exists"), QStringLiteral("--single-transaction"),
                                                     QStringLiteral("--dbname=") + server, dump});
        if (!restore.waitForFinished(-1) || restore.exitStatus() != QProcess::NormalExit || restore.exitCode() != 0) {
            const QString why = restore.error() == QProcess::FailedToStart ? QStringLiteral("pg_restore bulunamadı (postgresql-client paketi)")
                                                                           : QString::fromLocal8Bit(restore.readAllStandardError()).trimmed();
            return QStringLiteral("Sunucudaki veritabanı geri yüklenemedi (%1).").arg(why);
        }
        if (done) *done = files;
        return {};
    }
    for (const QString& f : files) {
        const QString from = folder + u'/' + f;
        if (!QFileInfo::exists(from)) return QStringLiteral("Yedekte %1 yok.").arg(native(from));
        if (const QString why = check(from); !why.isEmpty()) return QStringLiteral("Yedekteki %1 kullanılamıyor (%2).").arg(native(from), why);
    }
    for (const QString& f : files) {
        const QString from = folder + u'/' + f, to = programDir + u'/' + f;
        const QString fresh = programDir + QStringLiteral("/.") + f + QStringLiteral(".geri");
        QFile::remove(fresh);
        sqlite3* src = nullptr;
        sqlite3* dst = nullptr;
        int rc = sqlite3_open_v2(from.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_open_v2(fresh.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
            rc = b ? sqlite3_backup_step(b, -1) : sqlite3_errcode(dst);
            if (b && sqlite3_backup_finish(b) != SQLITE_OK && rc == SQLITE_DONE) rc = sqlite3_errcode(dst);
        }
        sqlite3_close(dst);
        sqlite3_close(src);
        QString why = rc == SQLITE_DONE ? check(fresh) : Database::reason(rc);
        // The journals beside the old file belong to it: left there, SQLite would roll them onto the restored one.
        if (why.isEmpty())
            for (const char* suffix : {"-journal", "-wal", "-shm"})
                if (QFileInfo::exists(to + QLatin1String(suffix)) && !QFile::remove(to + QLatin1String(suffix)))
                    why = QStringLiteral("%1 silinemedi").arg(native(to + QLatin1String(suffix)));
        if (why.isEmpty() && std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(to).constData()) != 0)
            why = QStringLiteral("%1 yerine konamadı").arg(native(to));
        if (!why.isEmpty()) {
            QFile::remove(fresh);
            return QStringLiteral("%1 geri yüklenemedi (%2).").arg(native(to), why);
        }
        if (done) *done << f;
    }
    return {};
}

bool ask(const QString& text)
{
    if (askHandler()) return askHandler()(text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Salonya"), text);
    QPushButton* yes = box.addButton(QStringLiteral("Geri Yükle"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Kapat"), QMessageBox::RejectRole);
    QApplication::restoreOverrideCursor();
    box.exec();
    return box.clickedButton() == yes;
}

void setAskHandler(std::function<bool(const QString&)> handler) { askHandler() = std::move(handler); }

} // namespace Restore
