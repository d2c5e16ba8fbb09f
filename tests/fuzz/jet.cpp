// Record sources from a small Jet grammar translate, prepare with one bound value per literal and run to the end; raw bytes translate too.
#include "data/database.h"
#include "data/jet.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDate>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

struct Writer {
    FuzzedDataProvider& in;
    int depth = 0;

    template <size_t N> QString pick(const char* const (&w)[N]) { return QString::fromUtf8(w[in.ConsumeIntegralInRange<size_t>(0, N - 1)]); }
    QString word(const char* w) // keywords in any letter case
    {
        const QString s = QString::fromUtf8(w);
        const int c = in.ConsumeIntegralInRange(0, 2);
        return c == 0 ? s : c == 1 ? s.toUpper() : s.toLower();
    }
    QString sp(const char* w) { return u' ' + word(w) + u' '; }
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
        QString c;
        switch (++depth > 4 ? 0 : in.ConsumeIntegralInRange(0, 12)) {
        case 0: c = column() + compare() + value(); break;
        case 1: c = column() + sp("Like") + text(); break;
        case 2:
            c = column() + sp("In") + gap() + u'(' + value();
            for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) c += u',' + gap() + value();
            c += u')';
            break;
        case 3: c = column() + sp("Is") + (in.ConsumeBool() ? word("Not") + u' ' : QString()) + word("Null"); break;
        case 4: c = column() + sp("Between") + value() + sp("And") + value(); break;
        case 5: c = column(); break; // a Boolean on its own
        case 6: c = column() + compare() + word(in.ConsumeBool() ? "True" : "False"); break;
        case 7: c = word("Left") + u'(' + column() + u',' + gap() + QString::number(in.ConsumeIntegralInRange(0, 5)) + u')' + compare() + text(); break;
        case 8: c = column() + compare() + column(); break;
        case 9: c = column() + gap() + u'&' + gap() + text() + compare() + value(); break;
        case 10: c = word("Not") + u' ' + condition(); break;
        case 11: c = u'(' + gap() + condition() + gap() + u')'; break;
        default: c = condition() + sp(in.ConsumeBool() ? "And" : "Or") + condition();
        }
        --depth;
        return c;
    }
    QString source()
    {
        if (in.ConsumeIntegralInRange(0, 7) == 0) return pick({"T", "[T]"});
        QString s = word("Select") + QStringLiteral(" * ") + word("From") + QStringLiteral(" T");
        if (in.ConsumeBool()) s += sp("Where") + condition();
        if (in.ConsumeBool()) {
            s += sp("Order") + word("By");
            for (int n = in.ConsumeIntegralInRange(0, 2); n >= 0; --n)
                s += u' ' + column() + (in.ConsumeBool() ? u' ' + word(in.ConsumeBool() ? "Asc" : "Desc") : QString()) + (n > 0 ? QStringLiteral(",") : QString());
        }
        return s;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An own column with the Turkish collation, the others as the accounting program declares them.
    static sqlite3* const db = [] {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        Database::registerFunctions(d);
        if (sqlite3_exec(d, "CREATE TABLE T (Unvan TEXT COLLATE TR, Kod TEXT, Tarih DATE, Gurup BOOLEAN, Tutar REAL, \"Müşteri Adı\" TEXT, \"Not\" TEXT);"
                            " CREATE INDEX T_Unvan ON T (Unvan); INSERT INTO T VALUES ('Çiğdem','=X','2026-12-05',1,12.5,'Işık','x'),"
                            "('ırmak',NULL,'2024-03-05',0,NULL,'İpek',NULL)", nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        return d;
    }();
    FuzzedDataProvider in(data, size);
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
        Jet::translate(QString::fromUtf8(in.ConsumeRemainingBytesAsString()));
        return 0;
    }
    const QString jet = Writer{in}.source();
    const Jet::RecordSource rs = Jet::parseRecordSource(jet);
    const QString sql = QStringLiteral("SELECT rowid FROM \"%1\" %2").arg(rs.table, rs.tail.text);
    sqlite3_stmt* st = nullptr;
    QString why = !rs.ok ? rs.error
        : sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK ? QString::fromUtf8(sqlite3_errmsg(db))
        : sqlite3_bind_parameter_count(st) != rs.tail.params.size() ? QStringLiteral("placeholders and values differ") : QString();
    for (int i = 0; why.isEmpty() && i < rs.tail.params.size(); ++i) bindValue(st, i + 1, rs.tail.params[i]);
    int rc = SQLITE_DONE;
    while (why.isEmpty() && (rc = sqlite3_step(st)) == SQLITE_ROW) {}
    if (why.isEmpty() && rc != SQLITE_DONE) why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "%s\n -> %s\n%s\n", qPrintable(jet), qPrintable(sql), qPrintable(why));
        std::abort();
    }
    return 0;
}
