// Record sources written from the fuzz bytes by a small grammar of the Jet the program uses: each one
// translates, prepares on SQLite with one bound value per literal, and runs to its end. Raw bytes as
// Jet text are translated too, for the tokenizer's sake.
#include "data/database.h"
#include "data/jet.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDate>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

// An own table with the Turkish collation, and columns as the accounting program declares them.
sqlite3* openTable()
{
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    Database::registerFunctions(d);
    if (sqlite3_exec(d, "CREATE TABLE T (Unvan TEXT COLLATE TR, Kod TEXT, Tarih DATE, Gurup BOOLEAN, Tutar REAL, \"Müşteri Adı\" TEXT,"
                        " \"Not\" TEXT); CREATE INDEX T_Unvan ON T (Unvan); INSERT INTO T VALUES ('Çiğdem','=X','2026-12-05',1,12.5,"
                        "'Işık','x'),('ırmak',NULL,'2024-03-05',0,NULL,'İpek',NULL)", nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
    return d;
}

struct Writer {
    FuzzedDataProvider& in;
    int depth = 0;

    template <size_t N> QString pick(const char* const (&w)[N]) { return QString::fromUtf8(w[in.ConsumeIntegralInRange<size_t>(0, N - 1)]); }
    QString word(const char* w) // keywords in any letter case
    {
        const int c = in.ConsumeIntegralInRange(0, 2);
        return c == 0 ? QString::fromUtf8(w) : c == 1 ? QString::fromUtf8(w).toUpper() : QString::fromUtf8(w).toLower();
    }
    QString gap() { return pick({"", " ", "  "}); }
    QString column() { return pick({"Unvan", "UNVAN", "Kod", "Tarih", "Gurup", "Tutar", "[Müşteri Adı]", "[Unvan]", "[Not]"}); }
    QString text()
    {
        static const QString chars = QStringLiteral("aIıiİçŞğÜö '\"*?#[]&();,=<>.- ");
        QString s;
        for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n) s += chars[in.ConsumeIntegralInRange<qsizetype>(0, chars.size() - 1)];
        return Jet::quote(s);
    }
    QString value()
    {
        const int kind = in.ConsumeIntegralInRange(0, 2);
        if (kind == 0) return text();
        if (kind == 1) return QString::number(in.ConsumeIntegralInRange(0, 99999)) + (in.ConsumeBool() ? QStringLiteral(".5") : QString());
        return Jet::dateLiteral(QDate(in.ConsumeIntegralInRange(1990, 2040), in.ConsumeIntegralInRange(1, 12), in.ConsumeIntegralInRange(1, 28)));
    }
    QString compare() { return gap() + pick({"=", "<>", "<", ">", "<=", ">="}) + gap(); }
    QString condition()
    {
        const int kind = ++depth > 4 ? 0 : in.ConsumeIntegralInRange(0, 12);
        QString c;
        switch (kind) {
        case 0: c = column() + compare() + value(); break;
        case 1: c = column() + u' ' + word("Like") + u' ' + text(); break;
        case 2:
            c = column() + u' ' + word("In") + gap() + u'(' + value();
            for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) c += u',' + gap() + value();
            c += u')';
            break;
        case 3: c = column() + u' ' + word("Is") + (in.ConsumeBool() ? u' ' + word("Not") : QString()) + u' ' + word("Null"); break;
        case 4: c = column() + u' ' + word("Between") + u' ' + value() + u' ' + word("And") + u' ' + value(); break;
        case 5: c = column(); break; // a Boolean on its own
        case 6: c = column() + compare() + word(in.ConsumeBool() ? "True" : "False"); break;
        case 7: c = word("Left") + u'(' + column() + u',' + gap() + QString::number(in.ConsumeIntegralInRange(0, 5)) + u')' + compare() + text(); break;
        case 8: c = column() + compare() + column(); break;
        case 9: c = column() + gap() + u'&' + gap() + text() + compare() + value(); break;
        case 10: c = word("Not") + u' ' + condition(); break;
        case 11: c = u'(' + gap() + condition() + gap() + u')'; break;
        default: c = condition() + u' ' + word(in.ConsumeBool() ? "And" : "Or") + u' ' + condition();
        }
        --depth;
        return c;
    }
    QString source()
    {
        if (in.ConsumeIntegralInRange(0, 7) == 0) return pick({"T", "[T]"});
        QString s = word("Select") + QStringLiteral(" * ") + word("From") + QStringLiteral(" T");
        if (in.ConsumeBool()) s += u' ' + word("Where") + u' ' + condition();
        if (in.ConsumeBool()) {
            s += u' ' + word("Order") + u' ' + word("By");
            for (int n = in.ConsumeIntegralInRange(0, 2); n >= 0; --n)
                s += u' ' + column() + (in.ConsumeBool() ? u' ' + word(in.ConsumeBool() ? "Asc" : "Desc") : QString()) + (n > 0 ? QStringLiteral(",") : QString());
        }
        return s;
    }
};

[[noreturn]] void fail(const QString& jet, const QString& sql, const QString& why)
{
    std::fprintf(stderr, "%s\n -> %s\n%s\n", qPrintable(jet), qPrintable(sql), qPrintable(why));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static sqlite3* const db = openTable();
    FuzzedDataProvider in(data, size);
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
        Jet::translate(QString::fromUtf8(in.ConsumeRemainingBytesAsString()));
        return 0;
    }
    Writer w{in};
    const QString jet = w.source();
    const Jet::RecordSource rs = Jet::parseRecordSource(jet);
    if (!rs.ok) fail(jet, {}, rs.error);
    const QString sql = QStringLiteral("SELECT rowid FROM \"%1\" %2").arg(rs.table, rs.tail.text);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) fail(jet, sql, sqlite3_errmsg(db));
    if (sqlite3_bind_parameter_count(st) != rs.tail.params.size()) fail(jet, sql, QStringLiteral("placeholders and values differ"));
    for (int i = 0; i < rs.tail.params.size(); ++i) bindValue(st, i + 1, rs.tail.params[i]);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
    const QString error = sqlite3_errmsg(db);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fail(jet, sql, error);
    return 0;
}
