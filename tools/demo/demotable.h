#pragma once
// Table layouts of the accounting files and a small prepared-insert writer for them.

#include <QString>

#include <span>

struct sqlite3;
struct sqlite3_stmt;

namespace Demo {

struct Column {
    const char* name;
    const char* type; // plain SQLite types only: other programs open these files too
};

// The positions the front desk reads are fixed; the rest is the accounting program's own.
namespace StockColumn {
enum : int {
    Code = 0, Name = 1, Unit = 2, Vat = 3, Cost = 4, MemberPrice = 6, OnHand = 8, MinStock = 10, Shelf = 12,
    Transfer = 13, Barcode = 15, Price = 16, Currency = 17, Brand = 18, Registered = 20, User = 22,
    Group = 30, Hidden = 31,
};
}

namespace CariColumn {
enum : int {
    Code = 0, Title = 1, Debit = 6, Balance = 8, Currency = 13, CardNumber = 15, Points = 16, BirthDate = 17,
    Gender = 18, Email = 19, District = 22, Country = 24, Current = 26, Registered = 27, Phone = 28,
    Address = 29, City = 30, User = 34, Branch = 35, Commission = 41, SmsAllowed = 43, Group = 44,
    NoAccount = 45,
};
}

std::span<const Column> stockColumns();
std::span<const Column> cariColumns();

bool exec(sqlite3* db, const char* sql, QString* error);

// Creates the table and inserts rows through one prepared statement. clear() puts every column
// back to its empty value ('' or 0), so a row only sets what it has.
class TableWriter {
public:
    TableWriter(sqlite3* db, const QString& table, std::span<const Column> columns);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    bool start(QString* error);
    void clear();
    void text(int column, const QString& value);
    void integer(int column, qint64 value);
    void real(int column, double value);
    bool insert(QString* error);

private:
    sqlite3* m_db;
    QString m_table;
    std::span<const Column> m_columns;
    sqlite3_stmt* m_insert = nullptr;
};

} // namespace Demo
