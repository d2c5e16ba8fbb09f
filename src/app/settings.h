#pragma once
// The per-user settings store: application, section, key, a text value and a default.
// INI file under XDG_CONFIG_HOME (~/.config/salonya/<application>.ini).

#include <QString>

namespace Settings {

QString get(const QString& app, const QString& section, const QString& key, const QString& def = QString());
void save(const QString& app, const QString& section, const QString& key, const QString& value);
bool contains(const QString& app, const QString& section, const QString& key);

// The main screen's application name: the executable's base name.
QString appName();

// Shorthands for the main screen's section "Salonya".
inline QString get(const QString& key, const QString& def = QString()) { return get(appName(), QStringLiteral("Salonya"), key, def); }
inline void save(const QString& key, const QString& value) { save(appName(), QStringLiteral("Salonya"), key, value); }

// Text values as the store keeps them: numbers by numeric conversion, Booleans as True/False.
double toNumber(const QString& text, double def);
bool toBool(const QString& text, bool def);
inline QString fromBool(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace Settings
