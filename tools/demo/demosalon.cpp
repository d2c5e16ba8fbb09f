#include "demosalon.h"

#include "demogen.h"
#include "demotable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <functional>

namespace Demo {

namespace {

QString groupName(StockGroup g)
{
    switch (g) {
    case StockGroup::Service: return QStringLiteral("Hizmet");
    case StockGroup::Retail: return QStringLiteral("Ürün");
    case StockGroup::Dye: return QStringLiteral("Boya");
    }
    return {};
}

bool writeStock(sqlite3* db, const std::vector<StockCard>& cards, QString* error)
{
    namespace C = StockColumn;
    TableWriter t(db, QStringLiteral("StokKartlar"), stockColumns());
    if (!t.start(error))
        return false;
    for (const StockCard& c : cards) {
        t.clear();
        t.text(C::Code, c.code);
        t.text(C::Name, c.name);
        t.text(C::Unit, c.unit);
        t.integer(C::Vat, 20);
        t.real(C::Cost, c.cost);
        t.real(C::MemberPrice, std::round(c.price * 90) / 100);
        t.real(C::OnHand, c.onHand);
        t.real(C::MinStock, c.group == StockGroup::Service ? 0 : 3);
        t.text(C::Shelf, c.shelf);
        t.integer(C::Transfer, 1);
        t.text(C::Barcode, c.barcode);
        t.real(C::Price, c.price);
        t.text(C::Currency, QStringLiteral("TL"));
        t.text(C::Brand, c.brand);
        t.text(C::Registered, QStringLiteral("2023-01-02"));
        t.text(C::User, QStringLiteral("admin"));
        t.text(C::Group, groupName(c.group));
        t.integer(C::Hidden, c.hidden ? 1 : 0);
        if (!t.insert(error))
            return false;
    }
    return true;
}

bool writeCari(sqlite3* db, const std::vector<CariCard>& cards, QString* error)
{
    namespace C = CariColumn;
    TableWriter t(db, QStringLiteral("CariKartlar"), cariColumns());
    if (!t.start(error))
        return false;
    for (const CariCard& c : cards) {
        t.clear();
        t.text(C::Code, c.code);
        t.text(C::Title, c.title);
        t.real(C::Debit, c.balance);
        t.real(C::Balance, c.balance);
        t.text(C::Currency, QStringLiteral("TL"));
        t.text(C::CardNumber, c.cardNumber);
        t.real(C::Points, c.points);
        t.text(C::BirthDate, c.birthDate);
        t.text(C::Gender, c.gender);
        t.text(C::Email, c.email);
        t.text(C::District, c.district);
        if (!c.internal)
            t.text(C::Country, QStringLiteral("Türkiye"));
        t.integer(C::Current, 1);
        t.text(C::Registered, c.registered);
        t.text(C::Phone, c.phone);
        t.text(C::Address, c.address);
        t.text(C::City, c.city);
        t.text(C::User, QStringLiteral("admin"));
        t.integer(C::Branch, 1);
        t.real(C::Commission, c.commission);
        t.integer(C::SmsAllowed, c.smsAllowed ? 1 : 0);
        t.text(C::Group, c.employee ? QStringLiteral("Eleman") : QStringLiteral("Müşteri"));
        t.integer(C::NoAccount, c.noAccount ? 1 : 0);
        if (!t.insert(error))
            return false;
    }
    return true;
}

bool writeSlot(sqlite3* db, QString* error)
{
    // Column names and order are what the cash register expects, odd casing included.
    return exec(db,
                "CREATE TABLE \"Müsteri\" (\"Kayit\" INTEGER PRIMARY KEY AUTOINCREMENT, \"UrunAdi\" TEXT, "
                "\"MusLbl\" INTEGER, \"Müsteri\" TEXT, \"Barkod\" TEXT, \"Miktar\" REAL, \"Fiyat\" REAL, "
                "\"Tutar\" REAL, \"eLEMAN\" TEXT, \"RowSay\" INTEGER, \"Peron\" INTEGER)",
                error);
}

// SQLite's side files go with the database: a stale journal next to a new file would be rolled into it.
void removeSideFiles(const QString& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

void removeWithSideFiles(const QString& path)
{
    QFile::remove(path);
    removeSideFiles(path);
}

// Writes into "<path>.part" in one transaction; the caller renames it into place.
bool writePart(const QString& path, const std::function<bool(sqlite3*, QString*)>& fill, QString* error)
{
    const QString part = path + QStringLiteral(".part");
    removeWithSideFiles(part);
    sqlite3* db = nullptr;
    QString why;
    const int rc = sqlite3_open_v2(QFile::encodeName(part).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                   nullptr);
    if (rc != SQLITE_OK)
        why = QString::fromUtf8(sqlite3_errstr(rc));
    // A throwaway file until the rename: durability buys nothing here.
    const bool ok = rc == SQLITE_OK && exec(db, "PRAGMA synchronous=OFF", &why) && exec(db, "BEGIN", &why)
        && fill(db, &why) && exec(db, "COMMIT", &why);
    sqlite3_close(db);
    if (!ok) {
        *error = QDir::toNativeSeparators(part) + QStringLiteral(": ") + why;
        removeWithSideFiles(part);
    }
    return ok;
}

QString countsLine(const QString& path, qsizetype rows, const QStringList& parts)
{
    return QStringLiteral("%1: %2 kayıt (%3)").arg(QDir::toNativeSeparators(path)).arg(rows).arg(parts.join(QStringLiteral(", ")));
}

} // namespace

QString stockFile(const QString& prefix) { return prefix + QStringLiteral("Stok.mdb"); }
QString cariFile(const QString& prefix) { return prefix + QStringLiteral("Cari.mdb"); }

QString slotFile(const QString& prefix)
{
    // "/x/DefteryaData/01" and "/x/DefteryaData/" both mean the folder /x/DefteryaData.
    return QFileInfo(prefix).absolutePath() + QStringLiteral("/Müsteri.mdb");
}

QString turkishUpper(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t ch = c.unicode();
        if (ch == u'i')
            out += QChar(u'İ');
        else if (ch == u'ı')
            out += QChar(u'I');
        else if (ch >= u'a' && ch <= u'z')
            out += QChar(char16_t(ch - u'a' + u'A'));
        else if (ch < 0x80 || c.isSurrogate())
            out += c;
        else
            out += c.toUpper(); // ç ğ ö ş ü â î û and the rest map one to one
    }
    return out;
}

QString ean13(const QString& twelveDigits)
{
    if (twelveDigits.size() != 12)
        return {};
    int sum = 0;
    for (qsizetype i = 0; i < 12; ++i) {
        const char16_t c = twelveDigits[i].unicode();
        if (c < u'0' || c > u'9')
            return {};
        sum += (c - u'0') * (i % 2 ? 3 : 1);
    }
    return twelveDigits + QChar(char16_t(u'0' + (10 - sum % 10) % 10));
}

bool writeDemoSalon(const DemoOptions& options, QString* error, QStringList* report)
{
    QString scratch;
    if (!error)
        error = &scratch;
    error->clear();
    if (options.prefix.isEmpty()) {
        *error = QStringLiteral("veri klasörü öneki (--prefix) verilmedi");
        return false;
    }
    // The code formats cap the sizes: M + 6 digits for customers (a million cards leave 995 000 of
    // them real customers), E + 3 digits for staff.
    if (options.customers < 0 || options.customers > 1000000) {
        *error = QStringLiteral("müşteri sayısı 0 ile 1000000 arasında olmalı");
        return false;
    }
    if (options.employees < 0 || options.employees > 999) {
        *error = QStringLiteral("eleman sayısı 0 ile 999 arasında olmalı");
        return false;
    }
    if (options.stock < -1) {
        *error = QStringLiteral("stok kartı sayısı negatif olamaz");
        return false;
    }

    const QString stock = stockFile(options.prefix);
    const QString cari = cariFile(options.prefix);
    const QString slot = slotFile(options.prefix);
    if (!options.force) {
        QStringList present;
        for (const QString& path : {stock, cari})
            if (QFileInfo::exists(path))
                present << QDir::toNativeSeparators(path);
        if (!present.isEmpty()) {
            *error = QStringLiteral("dosya zaten var (üzerine yazmak için --force): ") + present.join(QStringLiteral(", "));
            return false;
        }
    }
    const QString folder = QFileInfo(slot).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("klasör oluşturulamadı: ") + QDir::toNativeSeparators(folder);
        return false;
    }

    const std::vector<StockCard> stockCards =
        buildStock(options.stock < 0 ? baseStockCount() : options.stock, options.seed);
    const std::vector<CariCard> cariCards = buildCari(options.customers, options.employees, options.seed);
    const bool newSlot = !QFileInfo::exists(slot);

    QStringList written;
    auto cleanUp = [&] {
        for (const QString& path : written)
            removeWithSideFiles(path + QStringLiteral(".part"));
    };
    const auto step = [&](const QString& path, const std::function<bool(sqlite3*, QString*)>& fill) {
        if (!writePart(path, fill, error))
            return false;
        written << path;
        return true;
    };
    const bool ok = step(stock, [&](sqlite3* db, QString* e) { return writeStock(db, stockCards, e); })
        && step(cari, [&](sqlite3* db, QString* e) { return writeCari(db, cariCards, e); })
        && (!newSlot || step(slot, writeSlot));
    if (!ok) {
        cleanUp();
        return false;
    }
    // Everything is on disk before anything is replaced, so a failure above leaves the old files whole.
    for (const QString& path : written) {
        // The register may have made its slot file meanwhile; it wins.
        if (path == slot && QFileInfo::exists(slot)) {
            removeWithSideFiles(path + QStringLiteral(".part"));
            continue;
        }
        removeSideFiles(path);
        if (std::rename(QFile::encodeName(path + QStringLiteral(".part")).constData(),
                        QFile::encodeName(path).constData())
            != 0) {
            *error = QStringLiteral("yeniden adlandırılamadı: ") + QDir::toNativeSeparators(path);
            cleanUp();
            return false;
        }
    }

    if (report) {
        int groups[3] = {0, 0, 0};
        int hidden = 0;
        for (const StockCard& c : stockCards) {
            ++groups[int(c.group)];
            hidden += c.hidden;
        }
        *report << countsLine(stock, qsizetype(stockCards.size()),
                              {QStringLiteral("Hizmet %1").arg(groups[0]), QStringLiteral("Ürün %1").arg(groups[1]),
                               QStringLiteral("Boya %1").arg(groups[2]), QStringLiteral("gizli %1").arg(hidden)});
        int internal = 0;
        for (const CariCard& c : cariCards)
            internal += c.internal;
        *report << countsLine(cari, qsizetype(cariCards.size()),
                              {QStringLiteral("Müşteri %1, = kartı %2").arg(options.customers).arg(internal),
                               QStringLiteral("Eleman %1").arg(options.employees)});
        *report << (newSlot ? countsLine(slot, 0, {QStringLiteral("boş tablo")})
                            : QDir::toNativeSeparators(slot) + QStringLiteral(": zaten var, dokunulmadı"));
    }
    return true;
}

} // namespace Demo

namespace Demo {

QStringList buttonCaptions(const QString& prefix, int count)
{
    QStringList out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(stockFile(prefix)).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        // Mostly services, the best-selling products at the end of the panel.
        const char* sql = "SELECT StokAdi, k FROM (SELECT StokAdi, 0 AS k, rowid AS r FROM StokKartlar WHERE StokGrubu='Hizmet' AND StokGizle=0"
                          " UNION ALL SELECT StokAdi, 1, rowid FROM StokKartlar WHERE StokGrubu='Ürün' AND StokGizle=0)"
                          " ORDER BY k, r";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
            QStringList services, products;
            while (sqlite3_step(st) == SQLITE_ROW) {
                const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                (sqlite3_column_int(st, 1) == 0 ? services : products) << name;
            }
            const int wantProducts = qMin<int>(products.size(), count / 6);
            out = services.mid(0, count - wantProducts) + products.mid(0, wantProducts);
            out = out.mid(0, count);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

} // namespace Demo
