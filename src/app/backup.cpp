#include "backup.h"

#include "restore.h"
#include "data/database.h"
#include "data/pgengine.h"
#include "data/schema.h"
#include "ui/feedback.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcBackup, "salonya.backup", QtWarningMsg)

namespace {

constexpr int kPagesPerStep = 128; // a short read lock each step, so the desk's writes are never held up long
constexpr int kBusyRetries = 500;  // 10 s of a locked source, then give up

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// One database file copied page by page; empty when done.
QString copyFile(const QString& from, const QString& to, const std::atomic_bool* cancel)
{
    sqlite3* src = nullptr;
    sqlite3* dst = nullptr;
    const QByteArray uri = QUrl::fromLocalFile(from).toEncoded() + "?mode=ro";
    QString error;
    if (sqlite3_open_v2(uri.constData(), &src, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        error = QStringLiteral("%1 açılamadı (%2)").arg(native(from), Database::reason(sqlite3_errcode(src)));
    } else if (sqlite3_open_v2(to.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        error = QStringLiteral("%1 yazılamadı (%2)").arg(native(to), Database::reason(sqlite3_errcode(dst)));
    } else if (sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main"); !b) {
        error = QStringLiteral("%1 yazılamadı (%2)").arg(native(to), Database::reason(sqlite3_errcode(dst)));
    } else {
        int rc = SQLITE_OK;
        for (int busy = 0; busy < kBusyRetries && !(cancel && *cancel);) {
            rc = sqlite3_backup_step(b, kPagesPerStep);
            if (rc == SQLITE_DONE) break;
            QThread::usleep(500); // room for the desk's writes between steps
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                ++busy;
                QThread::msleep(20);
            } else if (rc != SQLITE_OK) {
                break;
            }
        }
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            error = cancel && *cancel ? QStringLiteral("yedek yarıda bırakıldı")
                                      : QStringLiteral("%1 kopyalanamadı (%2)").arg(native(from), Database::reason(rc));
    }
    sqlite3_close(dst);
    sqlite3_close(src);
    return error;
}

} // namespace

Backup::Backup(QString programDir, QWidget* window) : QObject(window), m_dir(std::move(programDir)), m_window(window)
{
    setObjectName(QStringLiteral("Backup"));
}

Backup::~Backup()
{
    if (!m_thread) return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
}

QString Backup::folderOf(const QString& programDir, const QDate& day)
{
    return programDir + QStringLiteral("/Yedek/") + day.toString(QStringLiteral("yyyy-MM-dd"));
}

QList<QDate> Backup::days(const QString& programDir)
{
    static const QRegularExpression dayName(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    static const QStringList ours{QString::fromLatin1(Schema::CariFile), QString::fromLatin1(Schema::StokFile),
                                  QString::fromLatin1(Schema::SalonyaFile), QString::fromLatin1(ServerDump)};
    QList<QDate> out;
    const QDir root(programDir + QStringLiteral("/Yedek"));
    for (const QFileInfo& e : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
        const QDate day = QDate::fromString(e.fileName(), Qt::ISODate);
        if (!dayName.match(e.fileName()).hasMatch() || !day.isValid()) continue;
        // Only a folder the desk filled: a user's file or a link inside makes it someone else's.
        const QFileInfoList inside = QDir(e.filePath()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        if (std::all_of(inside.begin(), inside.end(), [](const QFileInfo& i) {
                return i.isFile() && !i.isSymLink() && ours.contains(i.fileName());
            }))
            out << day;
    }
    return out;
}

bool Backup::isRunning() const { return m_thread && m_thread->isRunning(); }

bool Backup::startIfDue(const QDate& day)
{
    if (m_thread || QFileInfo::exists(folderOf(m_dir, day))) return false;
    m_thread = QThread::create([this, day] { m_error = run(m_dir, day, &m_cancel); });
    connect(m_thread, &QThread::finished, this, [this] {
        if (m_error.isEmpty()) {
            qCInfo(lcBackup).noquote() << "backup taken:" << m_dir;
        } else if (!m_cancel) {
            qCWarning(lcBackup).noquote() << "backup failed:" << m_error;
            Feedback::message(m_window, Feedback::Icon::Warning, QStringLiteral("Salonya"),
                              QStringLiteral("Günlük yedek alınamadı:\n%1\n\nSalonya çalışmaya devam ediyor; yedek bir sonraki açılışta"
                                             " yeniden denenecek.").arg(m_error));
        }
        emit finished(m_error);
    });
    m_thread->start(QThread::LowPriority);
    return true;
}

QString Backup::run(const QString& programDir, const QDate& day, const std::atomic_bool* cancel)
{
    const QString target = folderOf(programDir, day);
    if (QFileInfo::exists(target)) return {};
    const QString root = QFileInfo(target).absolutePath();
    // Copied into a half-done folder first, so a day's folder is always a whole backup.
    const QString partial = root + QStringLiteral("/.") + QFileInfo(target).fileName() + QStringLiteral(".yarım");
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial)) return QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(native(root));
    // On a salon server the day's backup is the server's dump of the three schemas.
    if (const QString server = Pg::serverSetting(); !server.isEmpty()) {
        QProcess dump;
        dump.start(QStringLiteral("pg_dump"), {QStringLiteral("--format=custom"), QStringLiteral("--schema=cari"), QStringLiteral("--schema=stok"),
                                               QStringLiteral("--schema=salonya"), QStringLiteral("--file=") + partial + u'/' + QString::fromLatin1(ServerDump),
                                               QStringLiteral("--dbname=") + server});
        const bool ok = dump.waitForFinished(-1) && dump.exitStatus() == QProcess::NormalExit && dump.exitCode() == 0;
        if (!ok) {
            const QString why = dump.error() == QProcess::FailedToStart ? QStringLiteral("pg_dump bulunamadı (postgresql-client paketi)")
                                                                        : QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
            QDir(partial).removeRecursively();
            return QStringLiteral("Sunucudaki veritabanı yedeklenemedi: %1").arg(why);
        }
    }
    for (const char* name : {Schema::CariFile, Schema::StokFile, Schema::SalonyaFile}) {
        if (!Pg::serverSetting().isEmpty()) break;
        const QString file = QString::fromLatin1(name);
        QString error = copyFile(programDir + u'/' + file, partial + u'/' + file, cancel);
        // A damaged file never becomes a day's backup, so it can never push a good day out.
        if (error.isEmpty())
            if (const QString damage = Restore::check(partial + u'/' + file); !damage.isEmpty())
                error = QStringLiteral("%1 bozuk olduğu için yedeklenmedi (%2)").arg(native(programDir + u'/' + file), damage);
        if (!error.isEmpty()) {
            QDir(partial).removeRecursively();
            return error;
        }
    }
    if (!QDir().rename(partial, target)) {
        QDir(partial).removeRecursively();
        return QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(native(target));
    }
    // Half-done folders of other days go; the last days up to this one are kept. Later days are a clock
    // set back: they are neither counted nor removed.
    const QDir dir(root);
    for (const QFileInfo& e : dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        if (e.fileName().startsWith(u'.') && e.fileName().endsWith(QStringLiteral(".yarım"))) QDir(e.filePath()).removeRecursively();
    QList<QDate> kept = days(programDir);
    kept.removeIf([&](const QDate& d) { return d > day; });
    while (kept.size() > KeepDays) {
        const QDir old(folderOf(programDir, kept.takeFirst()));
        bool removed = true;
        for (const QString& file : old.entryList(QDir::Files | QDir::Hidden)) removed = QFile::remove(old.filePath(file)) && removed;
        if (!removed || !QDir().rmdir(old.path())) qCWarning(lcBackup).noquote() << "old backup not removed:" << old.path();
    }
    return {};
}
