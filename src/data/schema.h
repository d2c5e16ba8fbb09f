#pragma once
// Tables of the program's own three databases, created when missing.

#include <QString>

namespace Schema {

inline constexpr auto CariFile = "Cari.Mdb";
inline constexpr auto StokFile = "Stok.Mdb";
inline constexpr auto SalonyaFile = "Salonya.Mdb";

// Creates the files and any missing tables and indexes in the given folder.
// Returns false with a reason when a file cannot be created or written.
bool ensureOwnDatabases(const QString& folder, QString* error);

} // namespace Schema
