#include "hostpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace HostPaths {

QString programDir()
{
    if (qEnvironmentVariableIsSet("SALONYA_PROGRAM_DIR")) return QDir::cleanPath(qEnvironmentVariable("SALONYA_PROGRAM_DIR"));
    const QString exe = QCoreApplication::applicationDirPath();
    // Installed in a bin folder (the package's /usr/bin): the user's data folder, as ./run uses.
    if (QDir(exe).dirName() != u"bin") return exe;
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    return QDir::cleanPath((data.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : data) + QStringLiteral("/salonya"));
}

QString inProgramDir(const QString& name) { return toLocal(programDir() + u'\\' + name); }

QString drivesRoot()
{
    return qEnvironmentVariableIsSet("SALONYA_DRIVES") ? qEnvironmentVariable("SALONYA_DRIVES")
                                                      : programDir() + QStringLiteral("/drives");
}

QString sharesRoot()
{
    return qEnvironmentVariableIsSet("SALONYA_SHARES") ? qEnvironmentVariable("SALONYA_SHARES")
                                                      : programDir() + QStringLiteral("/shares");
}

namespace {

// Walks the path from the root, taking an existing entry that differs only in case.
QString resolveCase(const QString& path)
{
    if (QFileInfo::exists(path)) return path;
    const QStringList parts = path.split(u'/');
    QString cur = path.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part.isEmpty()) continue;
        QString next = cur.isEmpty() || cur.endsWith(u'/') ? cur + part : cur + u'/' + part;
        if (!QFileInfo::exists(next)) {
            const QDir dir(cur.isEmpty() ? QStringLiteral(".") : cur);
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& e : entries)
                if (e.compare(part, Qt::CaseInsensitive) == 0 || e.toLower() == part.toLower()) { next = dir.filePath(e); break; }
        }
        cur = next;
    }
    return cur;
}

} // namespace

// A Windows path below its root: "." and ".." are worked out inside it and never climb above it.
static QString under(const QString& root, QString rest)
{
    rest.replace(u'\\', u'/');
    QStringList kept;
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..") { if (!kept.isEmpty()) kept.removeLast(); }
        else if (part != u".") kept << part;
    }
    return root + u'/' + kept.join(u'/');
}

QString toLocal(const QString& path)
{
    QString local;
    if (path.startsWith(QLatin1String("\\\\")) || path.startsWith(QLatin1String("//"))) {
        local = under(sharesRoot(), path.mid(2));
    } else if (path.size() >= 2 && path[1] == u':' && path[0].isLetter()) {
        local = under(drivesRoot() + u'/' + path[0].toUpper(), path.mid(2));
    } else {
        local = path;
        local.replace(u'\\', u'/');
    }
    return resolveCase(QDir::cleanPath(local));
}

QString folderOfPrefix(const QString& prefix)
{
    const qsizetype k = qMax(prefix.lastIndexOf(u'\\'), prefix.lastIndexOf(u'/'));
    return k < 0 ? QString() : prefix.left(k + 1);
}

} // namespace HostPaths
