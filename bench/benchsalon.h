#pragma once
// The salon folders and environment a benchmark's desk runs in; call before the QApplication.
// An optional last argument names a folder that keeps the generated salon for a look afterwards.

#include <QDir>
#include <QString>
#include <QTemporaryDir>

inline QString prepareBenchSalon(int argc, char** argv, const QTemporaryDir& temp)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[argc - 1]) : temp.path();
    qputenv("SALONYA_PROGRAM_DIR", (root + QStringLiteral("/program")).toUtf8());
    qputenv("SALONYA_DRIVES", (root + QStringLiteral("/drives")).toUtf8());
    qputenv("SALONYA_SHARES", (root + QStringLiteral("/shares")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
    qputenv("SALONYA_NETWORK", "0");
    qputenv("QT_LOGGING_RULES", "salonya.*=false");
    QDir().mkpath(root + QStringLiteral("/program"));
    QDir().mkpath(root + QStringLiteral("/drives/C/DefteryaData"));
    return root;
}
