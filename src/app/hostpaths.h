#pragma once
// Where the program lives and how Windows-form paths of the salon's data map to this machine.

#include <QString>

namespace HostPaths {

// SALONYA_PROGRAM_DIR, else the executable's folder; for a program installed in a bin folder
// $XDG_DATA_HOME/salonya (~/.local/share/salonya).
QString programDir();
// Program folder + "\" + name, as a local path.
QString inProgramDir(const QString& name);

// C:\X\Y -> <drives>/C/X/Y, \\host\share\x -> <shares>/host/share/x, POSIX paths unchanged.
// An existing file or folder is found whatever the case of its name, as on the salon's Windows share.
QString toLocal(const QString& path);

QString drivesRoot();
QString sharesRoot();

// The folder part of a prefix up to and including its last separator (either kind).
QString folderOfPrefix(const QString& prefix);

} // namespace HostPaths
