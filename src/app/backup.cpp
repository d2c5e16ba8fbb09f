#include "backup.h"

#include "data/schema.h"
#include "ui/feedback.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
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
        error = QStringLiteral("%1 açılamadı (%2)").arg(native(from), QString::fromUtf8(sqlite3_errmsg(src)));
    } else if (sqlite3_open_v2(to.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        error = QStringLiteral("%1 yazılamadı (%2)").arg(native(to), QString::fromUtf8(sqlite3_errmsg(dst)));
    } else if (sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main"); !b) {
        error = QStringLiteral("%1 yazılamadı (%2)").arg(native(to), QString::fromUtf8(sqlite3_errmsg(dst)));
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
                                      : QStringLiteral("%1 kopyalanamadı (%2)").arg(native(from), QString::fromUtf8(sqlite3_errstr(rc)));
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
    for (const char* name : {Schema::CariFile, Schema::StokFile, Schema::SalonyaFile}) {
        const QString file = QString::fromLatin1(name);
        const QString error = copyFile(programDir + u'/' + file, partial + u'/' + file, cancel);
        if (!error.isEmpty()) {
            QDir(partial).removeRecursively();
            return error;
        }
    }
    if (!QDir().rename(partial, target)) {
        QDir(partial).removeRecursively();
        return QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(native(target));
    }
    // The last days are kept; older ones and half-done folders of other days go.
    static const QRegularExpression dayName(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    QStringList days;
    const QDir dir(root);
    for (const QString& e : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        if (dayName.match(e).hasMatch()) days << e;
        else if (e.startsWith(u'.') && e.endsWith(QStringLiteral(".yarım"))) QDir(dir.filePath(e)).removeRecursively();
    }
    while (days.size() > KeepDays) {
        const QString old = dir.filePath(days.takeFirst());
        if (!QDir(old).removeRecursively()) qCWarning(lcBackup).noquote() << "old backup not removed:" << old;
    }
    return {};
}
