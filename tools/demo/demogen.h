#pragma once
// Builds the demo salon's cards in memory; demosalon.cpp writes them to the files.

#include <QString>
#include <QtGlobal>

#include <span>
#include <vector>

namespace Demo {

// SplitMix64: small, and the same stream on every platform and Qt version,
// which a seeded demo needs (std:: distributions differ between libraries).
class Rng {
public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    quint64 next();
    quint32 below(quint32 n); // 0 .. n-1
    int between(int lo, int hi); // both ends included
    bool chance(double p);
    template <class T>
    const T& pick(std::span<const T> items) { return items[below(quint32(items.size()))]; }

private:
    quint64 m_state;
};

// Exactly k of n positions marked, so the share of hidden or internal cards does not drift with the seed.
std::vector<bool> pickPositions(int n, int k, Rng& rng);

// Maps index 0 .. range-1 one to one onto 0 .. range-1 in a scrambled order: unique codes that
// do not look sequential, with no lookup table. range must be at most 2^62.
quint64 scatter(quint64 index, quint64 range, quint64 key);

enum class StockGroup { Service, Retail, Dye };

struct StockCard {
    QString code;
    QString name;
    QString brand;
    QString barcode;
    QString unit;
    QString shelf;
    StockGroup group = StockGroup::Service;
    double price = 0; // dyes: per 100 g
    double cost = 0;
    int onHand = 0;
    bool hidden = false;
};

struct CariCard {
    QString code;
    QString title;
    QString cardNumber;
    QString phone;
    QString address;
    QString district;
    QString city;
    QString email;
    QString gender; // "K" or "E"
    QString birthDate;
    QString registered;
    double balance = 0;
    double points = 0;
    double commission = 0; // employees' share of their sales, percent
    bool employee = false;
    bool internal = false; // accounting's own "=" cards
    bool noAccount = false;
    bool smsAllowed = false;
};

int baseStockCount();
std::vector<StockCard> buildStock(int count, quint32 seed);
std::vector<CariCard> buildCari(int customers, int employees, quint32 seed);

} // namespace Demo
