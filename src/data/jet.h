#pragma once
// The Jet dialect the program's record sources and criteria are written in, run on SQLite or,
// for the desk's own databases on a salon server, on PostgreSQL.
// Every value joined into Jet text goes through Jet::quote.

#include <QString>
#include <QVariantList>

namespace Jet {

enum class Dialect { Sqlite, Postgres };

// The one quoting helper: the value between single quotes, quotes inside doubled.
QString quote(const QString& value);

// "Tarih=#mm/dd/yyyy#" style date literal, whatever the locale.
QString dateLiteral(const QDate& d);

struct Sql {
    QString text;        // SQLite text with ? placeholders
    QVariantList params; // values of the placeholders in order
    bool ok = true;
    QString error;
};

// Translates a Jet condition or clause into SQLite. Literal values become parameters so
// statements can be reused; strings compare with the Turkish collation; Like gets an index
// range for its literal head.
Sql translate(const QString& jet, Dialect dialect = Dialect::Sqlite);

// A record source: a table name or "Select * From <table> ...".
struct RecordSource {
    QString table;
    Sql tail; // WHERE / ORDER BY part, translated
    bool ok = false;
    QString error;
};
RecordSource parseRecordSource(const QString& jet, Dialect dialect = Dialect::Sqlite);

// A Jet Like pattern as an anchored regular expression matching either case the Turkish way, byte-wise.
QString likeRegex(const QString& pattern);

} // namespace Jet
