#include "demodata.h"
#include "demogen.h"
#include "demosalon.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace Demo {

namespace {

struct Candidate {
    QString name;
    QString brand;
    StockGroup group;
    double price;
};

QString u(const char* s) { return QString::fromUtf8(s); }

// Shelf prices end in ,90 the way shops print them.
double retailPrice(double p)
{
    const double rounded = p >= 100 ? std::round(p / 10) * 10 : std::round(p);
    return qMax(9.9, rounded - 0.1);
}

double servicePrice(double p) { return std::round(p / 10) * 10; }

QString dyeName(const QString& brand, const QString& line, const Data::Shade& s)
{
    QString name = brand.isEmpty() ? line : brand + u' ' + line;
    return name + u' ' + u(s.code) + u' ' + u(s.name);
}

std::vector<Candidate> baseCatalogue()
{
    std::vector<Candidate> out;
    for (const auto& s : Data::services())
        out.push_back({u(s.name), {}, StockGroup::Service, double(s.price)});
    for (const auto& p : Data::products())
        out.push_back({u(p.name), u(p.brand), StockGroup::Retail, p.price});
    for (const auto& s : Data::baseShades())
        out.push_back({dyeName({}, QStringLiteral("Boya"), s), {}, StockGroup::Dye, retailPrice(Data::dyePricePer100g)});
    for (const auto& ox : Data::oxidants())
        out.push_back({QStringLiteral("Oksidan ") + u(ox.text) + QStringLiteral(" 1000 ml"), {}, StockGroup::Dye,
                       retailPrice(ox.factor)});
    out.push_back({QStringLiteral("Açıcı Toz 500 g"), {}, StockGroup::Dye, retailPrice(Data::lighteningPowderPer100g)});
    return out;
}

void addServiceVariants(std::vector<Candidate>& out)
{
    for (const auto& s : Data::services()) {
        const QString name = u(s.name);
        for (const auto& m : Data::serviceModifiers())
            out.push_back({name + u' ' + u(m.text), {}, StockGroup::Service, servicePrice(s.price * m.factor)});
        if (!s.byLength)
            continue;
        for (const auto& m : Data::lengthModifiers())
            out.push_back({name + u' ' + u(m.text), {}, StockGroup::Service, servicePrice(s.price * m.factor)});
    }
}

void addRetailVariants(std::vector<Candidate>& out)
{
    for (const auto& kind : Data::productKinds()) {
        const auto lines = kind.styling ? Data::stylingLines() : Data::careLines();
        for (int size : kind.ml) {
            if (size == 0)
                break;
            const double sizeFactor = std::pow(double(size) / kind.ml[0], 0.8);
            const QString tail = u(kind.noun) + u' ' + QString::number(size) + QStringLiteral(" ml");
            for (const auto& line : lines) {
                for (const auto& brand : Data::brands()) {
                    for (const auto& series : Data::series()) {
                        QString name = u(brand.name);
                        if (*series.text)
                            name += u' ' + u(series.text);
                        name += u' ' + u(line.text) + u' ' + tail;
                        const double price = kind.price * sizeFactor * line.factor * brand.factor * series.factor;
                        out.push_back({name, u(brand.name), StockGroup::Retail, retailPrice(price)});
                    }
                }
            }
        }
    }
}

void addDyeVariants(std::vector<Candidate>& out)
{
    static const Data::Weighted lines[] = {{"Boya", 1.0}, {"Amonyaksız Boya", 1.2}};
    static const int oxidantSizes[] = {90, 150, 1000};
    for (const auto& brand : Data::brands()) {
        const QString b = u(brand.name);
        for (const auto& line : lines)
            for (const auto& shade : Data::allShades())
                out.push_back({dyeName(b, u(line.text), shade), b, StockGroup::Dye,
                               retailPrice(Data::dyePricePer100g * line.factor * brand.factor)});
        for (const auto& ox : Data::oxidants())
            for (int size : oxidantSizes)
                out.push_back({b + QStringLiteral(" Oksidan ") + u(ox.text) + u' ' + QString::number(size) + QStringLiteral(" ml"),
                               b, StockGroup::Dye, retailPrice(ox.factor * brand.factor)});
        out.push_back({b + QStringLiteral(" Açıcı Toz 500 g"), b, StockGroup::Dye,
                       retailPrice(Data::lighteningPowderPer100g * brand.factor)});
    }
}

// Every variant not already in the base catalogue, each name once.
std::vector<Candidate> variantPool(QSet<QString> taken)
{
    std::vector<Candidate> all;
    addServiceVariants(all);
    addRetailVariants(all);
    addDyeVariants(all);
    std::vector<Candidate> out;
    out.reserve(all.size());
    for (auto& c : all) {
        if (taken.contains(c.name))
            continue;
        taken.insert(c.name);
        out.push_back(std::move(c));
    }
    return out;
}

// A short catalogue keeps each group's share and its first (most sold) items.
std::vector<Candidate> shortCatalogue(const std::vector<Candidate>& base, int count)
{
    auto size = [&](StockGroup g) {
        return int(std::count_if(base.begin(), base.end(), [g](const Candidate& c) { return c.group == g; }));
    };
    const int total = int(base.size());
    const int services = size(StockGroup::Service);
    const int retail = size(StockGroup::Retail);
    const int dyes = size(StockGroup::Dye);
    int takeServices = int(std::llround(double(count) * services / total));
    int takeDyes = int(std::llround(double(count) * dyes / total));
    int takeRetail = count - takeServices - takeDyes;
    if (takeRetail > retail) {
        takeServices += takeRetail - retail;
        takeRetail = retail;
    }
    int left[3] = {takeServices, takeRetail, takeDyes};
    std::vector<Candidate> out;
    for (const auto& c : base) {
        int& n = left[int(c.group)];
        if (n > 0) {
            out.push_back(c);
            --n;
        }
    }
    return out;
}

std::vector<Candidate> chooseCatalogue(int count, Rng& rng)
{
    const std::vector<Candidate> base = baseCatalogue();
    if (count <= int(base.size()))
        return shortCatalogue(base, count);

    QSet<QString> taken;
    for (const auto& c : base)
        taken.insert(c.name);
    std::vector<Candidate> pool = variantPool(taken);
    for (size_t i = pool.size(); i > 1; --i)
        std::swap(pool[i - 1], pool[rng.below(quint32(i))]);

    std::vector<Candidate> out = base;
    const size_t extra = size_t(count) - base.size();
    out.reserve(size_t(count));
    out.insert(out.end(), pool.begin(), pool.begin() + qMin(extra, pool.size()));
    // Past the whole pool the same goods come back as later series, still under unique names;
    // services have no series, so they are not repeated.
    std::vector<const Candidate*> goods;
    for (const Candidate& c : pool)
        if (c.group != StockGroup::Service)
            goods.push_back(&c);
    for (size_t i = 0; out.size() < size_t(count); ++i) {
        Candidate c = *goods[i % goods.size()];
        c.name += QStringLiteral(" (%1. Seri)").arg(i / goods.size() + 2);
        out.push_back(std::move(c));
    }
    std::stable_sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) { return a.group < b.group; });
    return out;
}

QString codePrefix(StockGroup g)
{
    switch (g) {
    case StockGroup::Service: return QStringLiteral("HZM");
    case StockGroup::Retail: return QStringLiteral("URN");
    case StockGroup::Dye: return QStringLiteral("BOY");
    }
    return {};
}

} // namespace

int baseStockCount() { return int(baseCatalogue().size()); }

std::vector<StockCard> buildStock(int count, quint32 seed)
{
    Rng rng((quint64(seed) << 8) | 1);
    const std::vector<Candidate> chosen = chooseCatalogue(qMax(count, 0), rng);
    const int n = int(chosen.size());
    const std::vector<bool> hidden = pickPositions(n, int(std::llround(n * 0.02)), rng);

    // GS1 Turkey prefix 869 and a 9-digit item number.
    const quint64 barcodeKey = rng.next();
    quint64 barcodeIndex = 0;

    std::vector<StockCard> cards;
    cards.reserve(size_t(n));
    int serial[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i) {
        const Candidate& c = chosen[size_t(i)];
        StockCard card;
        card.group = c.group;
        card.code = codePrefix(c.group) + QStringLiteral("%1").arg(++serial[int(c.group)], 5, 10, QLatin1Char('0'));
        card.name = c.name;
        card.brand = c.brand;
        card.price = c.price;
        card.hidden = hidden[size_t(i)];
        card.unit = c.group == StockGroup::Dye ? QStringLiteral("Gr") : QStringLiteral("Adet");
        if (c.group != StockGroup::Service) {
            const quint64 item = scatter(barcodeIndex++, 1000000000u, barcodeKey);
            card.barcode = ean13(QStringLiteral("869%1").arg(item, 9, 10, QLatin1Char('0')));
            card.cost = std::round(c.price * (0.50 + rng.below(16) / 100.0) * 100) / 100;
            // Dyes are counted in grams: whole 60 g tubes.
            const int units = card.hidden ? 0 : rng.between(0, 24);
            card.onHand = c.group == StockGroup::Dye ? units * 60 : units;
            card.shelf = QStringLiteral("%1-%2").arg(QChar(char16_t(u'A' + rng.below(6)))).arg(rng.between(1, 12), 2, 10, QLatin1Char('0'));
        }
        cards.push_back(std::move(card));
    }
    return cards;
}

} // namespace Demo
