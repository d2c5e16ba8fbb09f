#include "settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace Settings {
namespace {

QString fileFor(const QString& app)
{
    // Read the location on every call so that XDG_CONFIG_HOME set by a test takes effect.
    const QString base = qEnvironmentVariableIsSet("XDG_CONFIG_HOME")
        ? qEnvironmentVariable("XDG_CONFIG_HOME")
        : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QStringLiteral("/salonya/") + app + QStringLiteral(".ini");
}

QString fullKey(const QString& section, const QString& key) { return section + u'/' + key; }

} // namespace

QString appName()
{
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return exe.isEmpty() ? QStringLiteral("salonya") : exe;
}

QString get(const QString& app, const QString& section, const QString& key, const QString& def)
{
    QSettings s(fileFor(app), QSettings::IniFormat);
    const QVariant v = s.value(fullKey(section, key));
    return v.isValid() ? v.toString() : def;
}

void save(const QString& app, const QString& section, const QString& key, const QString& value)
{
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.setValue(fullKey(section, key), value);
}

bool contains(const QString& app, const QString& section, const QString& key)
{
    QSettings s(fileFor(app), QSettings::IniFormat);
    return s.contains(fullKey(section, key));
}

double toNumber(const QString& text, double def)
{
    bool ok = false;
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const qlonglong v = t.mid(2).toLongLong(&ok, 16);
        return ok ? double(v) : def;
    }
    double v = t.toDouble(&ok);
    if (!ok) v = t.replace(u',', u'.').toDouble(&ok);
    return ok ? v : def;
}

bool toBool(const QString& text, bool def)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v != 0 : def;
}

} // namespace Settings
