#include "demotable.h"

#include <sqlite3.h>

#include <QStringList>

#include <cstring>
#include <iterator>

namespace Demo {

namespace {

const Column kStock[] = {
    {"StokKod", "TEXT"},       {"StokAdi", "TEXT"},        {"Birim", "TEXT"},          {"KdvOrani", "INTEGER"},
    {"AlisFiyati", "REAL"},    {"AlisIskonto", "REAL"},    {"SatisFiyati2", "REAL"},   {"SatisFiyati3", "REAL"},
    {"Stok1", "REAL"},         {"Stok2", "REAL"},          {"MinStok", "REAL"},        {"MaxStok", "REAL"},
    {"Raf", "TEXT"},           {"Aktarim", "INTEGER"},     {"OzelKod", "TEXT"},        {"BarkodNo", "TEXT"},
    {"SatisFiyati", "REAL"},   {"DovizCinsi", "TEXT"},     {"MarkaAdi", "TEXT"},       {"Aciklama", "TEXT"},
    {"KayitTarihi", "TEXT"},   {"DegisimTarihi", "TEXT"},  {"Kullanici", "TEXT"},      {"OtvOrani", "REAL"},
    {"Agirlik", "REAL"},       {"Ambalaj", "TEXT"},        {"SonAlisTarihi", "TEXT"},  {"SonSatisTarihi", "TEXT"},
    {"UreticiKod", "TEXT"},    {"Resim", "TEXT"},          {"StokGrubu", "TEXT"},      {"StokGizle", "INTEGER"},
};
static_assert(std::size(kStock) == 32);

const Column kCari[] = {
    {"CariKod", "TEXT"},       {"Unvan", "TEXT"},          {"Yetkili", "TEXT"},        {"VergiDairesi", "TEXT"},
    {"VergiNo", "TEXT"},       {"TcKimlikNo", "TEXT"},     {"Borc", "REAL"},           {"Alacak", "REAL"},
    {"Bakiye", "REAL"},        {"RiskLimiti", "REAL"},     {"Iskonto", "REAL"},        {"VadeGun", "INTEGER"},
    {"FiyatTipi", "INTEGER"},  {"DovizCinsi", "TEXT"},     {"OzelKod", "TEXT"},        {"KartNumarasi", "TEXT"},
    {"KartPuan", "REAL"},      {"DogumTarihi", "TEXT"},    {"Cinsiyet", "TEXT"},       {"Eposta", "TEXT"},
    {"Faks", "TEXT"},          {"Telefon2", "TEXT"},       {"Ilce", "TEXT"},           {"PostaKodu", "TEXT"},
    {"Ulke", "TEXT"},          {"Aciklama", "TEXT"},       {"Guncel", "INTEGER"},      {"KayitTarihi", "TEXT"},
    {"Telefon", "TEXT"},       {"Adres", "TEXT"},          {"Sehir", "TEXT"},          {"SonIslemTarihi", "TEXT"},
    {"BankaAdi", "TEXT"},      {"Iban", "TEXT"},           {"Kullanici", "TEXT"},      {"Sube", "INTEGER"},
    {"Kod1", "TEXT"},          {"Kod2", "TEXT"},           {"Kod3", "TEXT"},           {"EFatura", "INTEGER"},
    {"WebAdres", "TEXT"},      {"PrimOrani", "REAL"},      {"OdemeSekli", "TEXT"},     {"SmsIzin", "INTEGER"},
    {"Gurup", "TEXT"},         {"HesKullan", "INTEGER"},
};
static_assert(std::size(kCari) == 46);

QString quoted(const QString& name) { return u'"' + name + u'"'; }

} // namespace

std::span<const Column> stockColumns() { return kStock; }
std::span<const Column> cariColumns() { return kCari; }

bool exec(sqlite3* db, const char* sql, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

TableWriter::TableWriter(sqlite3* db, const QString& table, std::span<const Column> columns)
    : m_db(db), m_table(table), m_columns(columns)
{
}

TableWriter::~TableWriter() { sqlite3_finalize(m_insert); }

bool TableWriter::start(QString* error)
{
    QStringList defs;
    QStringList marks;
    for (const Column& c : m_columns) {
        defs << quoted(QString::fromUtf8(c.name)) + u' ' + QLatin1String(c.type);
        marks << QStringLiteral("?");
    }
    const QString create = QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(m_table), defs.join(QStringLiteral(", ")));
    if (!exec(m_db, create.toUtf8().constData(), error))
        return false;
    const QByteArray insert =
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted(m_table), marks.join(u',')).toUtf8();
    if (sqlite3_prepare_v2(m_db, insert.constData(), int(insert.size()), &m_insert, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(m_db));
        return false;
    }
    return true;
}

void TableWriter::clear()
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const int slot = int(i) + 1;
        if (std::strcmp(m_columns[i].type, "TEXT") == 0)
            sqlite3_bind_text(m_insert, slot, "", 0, SQLITE_STATIC);
        else
            sqlite3_bind_int(m_insert, slot, 0);
    }
}

void TableWriter::text(int column, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_insert, column + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void TableWriter::integer(int column, qint64 value) { sqlite3_bind_int64(m_insert, column + 1, value); }

void TableWriter::real(int column, double value) { sqlite3_bind_double(m_insert, column + 1, value); }

bool TableWriter::insert(QString* error)
{
    const int rc = sqlite3_step(m_insert);
    sqlite3_reset(m_insert);
    if (rc == SQLITE_DONE)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

} // namespace Demo
