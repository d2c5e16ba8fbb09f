#include "schema.h"

#include "database.h"

#include <QDir>

namespace Schema {
namespace {

// Columns stand at the positions the handlers read and write by; text compares the Turkish way.
const char* const kCari[] = {
    "CREATE TABLE IF NOT EXISTS CariKartlar ("
    " CariKod TEXT COLLATE TR, Unvan TEXT COLLATE TR, KartNo TEXT COLLATE TR,"
    " Alan3 TEXT, Alan4 TEXT, Alan5 TEXT, Alan6 TEXT, Alan7 TEXT, Alan8 TEXT, Alan9 TEXT,"
    " Telefon TEXT COLLATE TR, Adres TEXT COLLATE TR, Sehir TEXT COLLATE TR,"
    " Alan13 TEXT, Alan14 TEXT, Alan15 TEXT,"
    " Gurup TEXT COLLATE TR, Yeni INTEGER DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS CariKod_ix ON CariKartlar (CariKod)",
    "CREATE INDEX IF NOT EXISTS Unvan_ix ON CariKartlar (Unvan)",
    "CREATE INDEX IF NOT EXISTS GurupUnvan_ix ON CariKartlar (Gurup, Unvan)",
    "CREATE INDEX IF NOT EXISTS KartNo_ix ON CariKartlar (KartNo)",
    "CREATE TABLE IF NOT EXISTS Eleman (Eleman TEXT COLLATE TR)",
    "CREATE INDEX IF NOT EXISTS Eleman_ix ON Eleman (Eleman)",
    "CREATE TABLE IF NOT EXISTS RecNo (SonNo)",
};

const char* const kStok[] = {
    "CREATE TABLE IF NOT EXISTS StokKartlar ("
    " StokKod TEXT COLLATE TR, StokAdi TEXT COLLATE TR, Barkod TEXT COLLATE TR,"
    " Fiyat CURRENCY DEFAULT 0, Gurup TEXT COLLATE TR, StokGizle INTEGER DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS StokKod_ix ON StokKartlar (StokKod)",
    "CREATE INDEX IF NOT EXISTS StokAdi_ix ON StokKartlar (StokAdi)",
    "CREATE INDEX IF NOT EXISTS Barkod_ix ON StokKartlar (Barkod)",
};

const char* const kSalonya[] = {
    "CREATE TABLE IF NOT EXISTS Salonya ("
    " Islem TEXT COLLATE TR, Miktar DOUBLE DEFAULT 0, Fiyat CURRENCY DEFAULT 0, Cari TEXT COLLATE TR,"
    " Gurup BOOLEAN DEFAULT 0, Tarih DATE, Eleman TEXT COLLATE TR, Yeni INTEGER DEFAULT 0,"
    " Barkod TEXT COLLATE TR, Unvan TEXT COLLATE TR, Tutar CURRENCY DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS CariTarih_ix ON Salonya (Cari, Tarih)",
    "CREATE INDEX IF NOT EXISTS CariIslem_ix ON Salonya (Cari, Islem)", // a customer's history by service, unsorted
    "CREATE INDEX IF NOT EXISTS TarihYeni_ix ON Salonya (Tarih, Yeni)",
    "CREATE INDEX IF NOT EXISTS UnvanTarih_ix ON Salonya (Unvan, Tarih)",
};

// On a salon server every change of the ticket book tells the other desks (Database::follow).
const char* const kSalonyaServer[] = {
    "CREATE OR REPLACE FUNCTION salonya_degisti() RETURNS trigger LANGUAGE plpgsql AS"
    " $$BEGIN PERFORM pg_notify('salonya', ''); RETURN NULL; END$$",
    "CREATE OR REPLACE TRIGGER salonya_degisti AFTER INSERT OR UPDATE OR DELETE ON Salonya"
    " FOR EACH STATEMENT EXECUTE FUNCTION salonya_degisti()",
};

template <size_t N>
bool create(const QString& path, const char* const (&statements)[N], QString* error)
{
    auto db = Database::open(path, true, error);
    if (!db) return false;
    Transaction tx(db.get());
    for (const char* sql : statements)
        if (!db->exec(QString::fromUtf8(sql), error)) return false;
    if (db->onServer() && &statements[0] == &kSalonya[0])
        for (const char* sql : kSalonyaServer)
            if (!db->exec(QString::fromUtf8(sql), error)) return false;
    if (!tx.commit(error)) return false;
    db->forgetSchema();
    return true;
}

} // namespace

bool ensureOwnDatabases(const QString& folder, QString* error)
{
    const QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        if (error) *error = QStringLiteral("Program klasörü oluşturulamadı: %1").arg(folder);
        return false;
    }
    return create(dir.filePath(QString::fromLatin1(CariFile)), kCari, error)
        && create(dir.filePath(QString::fromLatin1(StokFile)), kStok, error)
        && create(dir.filePath(QString::fromLatin1(SalonyaFile)), kSalonya, error);
}

} // namespace Schema
