#include "demodata.h"
#include "demogen.h"
#include "demosalon.h"

#include <QDate>
#include <QSet>

#include <cmath>

namespace Demo {

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString mobilePhone(Rng& rng)
{
    return QStringLiteral("0%1 %2 %3 %4")
        .arg(u(rng.pick(Data::mobilePrefixes())))
        .arg(rng.between(0, 999), 3, 10, QLatin1Char('0'))
        .arg(twoDigits(rng.between(0, 99)), twoDigits(rng.between(0, 99)));
}

// Mailboxes are plain ASCII: Turkish letters lose their marks, everything else but letters and digits goes.
QString mailPart(const QString& s)
{
    QString out;
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'ç': case u'Ç': out += u'c'; break;
        case u'ğ': case u'Ğ': out += u'g'; break;
        case u'ı': case u'İ': case u'I': out += u'i'; break;
        case u'ö': case u'Ö': out += u'o'; break;
        case u'ş': case u'Ş': out += u's'; break;
        case u'ü': case u'Ü': out += u'u'; break;
        default:
            if (c.unicode() < 128 && c.isLetterOrNumber())
                out += c.toLower();
        }
    }
    return out;
}

struct Person {
    QString first;
    QString surname;
    bool female;
};

Person randomPerson(Rng& rng, double femaleShare)
{
    Person p;
    p.female = rng.chance(femaleShare);
    p.first = u(rng.pick(p.female ? Data::femaleNames() : Data::maleNames()));
    if (rng.chance(0.08))
        p.first += u' ' + u(rng.pick(p.female ? Data::femaleSecondNames() : Data::maleSecondNames()));
    p.surname = u(rng.pick(Data::surnames()));
    return p;
}

// Most customers live near the salon; a few come from other cities.
const Data::Place& randomPlace(Rng& rng)
{
    const auto places = Data::places();
    int local = 1;
    while (local < int(places.size()) && qstrcmp(places[local].city, places[0].city) == 0)
        ++local;
    const quint32 r = rng.below(100);
    if (r < 35)
        return places[0];
    if (r < 85)
        return places[size_t(rng.between(1, local - 1))];
    return places[size_t(rng.between(local, int(places.size()) - 1))];
}

void fillContact(CariCard& card, Rng& rng)
{
    const Data::Place& place = randomPlace(rng);
    card.phone = mobilePhone(rng);
    card.district = u(place.district);
    card.city = turkishUpper(u(place.city));
    QString address = u(place.quarters[rng.below(4)]) + QStringLiteral(" Mah. ") + u(rng.pick(Data::streets()))
        + QStringLiteral(" No:") + QString::number(rng.between(1, 140));
    if (rng.chance(0.7))
        address += QStringLiteral(" D:") + QString::number(rng.between(1, 24));
    card.address = address + u' ' + card.district;
}

QString dayAfter(const QDate& start, qint64 days) { return start.addDays(days).toString(Qt::ISODate); }

CariCard customer(Rng& rng, int index, int count, bool withApostrophe)
{
    Person p = randomPerson(rng, 0.8);
    if (withApostrophe || rng.chance(0.0005))
        p.surname = u(rng.pick(Data::apostropheSurnames()));
    CariCard card;
    card.code = QStringLiteral("M%1").arg(index + 1, 6, 10, QLatin1Char('0'));
    card.title = turkishUpper(p.first + u' ' + p.surname);
    card.gender = p.female ? QStringLiteral("K") : QStringLiteral("E");
    fillContact(card, rng);
    if (rng.chance(0.25))
        card.email = mailPart(p.first) + u'.' + mailPart(p.surname) + QString::number(rng.between(1, 99))
            + QStringLiteral("@ornekposta.com.tr");
    if (rng.chance(0.4))
        card.birthDate = QDate(rng.between(1955, 2008), rng.between(1, 12), rng.between(1, 28)).toString(Qt::ISODate);
    // Card numbers follow the order customers joined in, over twelve years.
    const QDate start(2013, 1, 1);
    const qint64 span = start.daysTo(QDate(2024, 12, 31));
    card.registered = dayAfter(start, qint64(index) * span / qMax(count, 1));
    if (rng.chance(0.03))
        card.balance = rng.between(5, 200) * 10;
    if (rng.chance(0.6))
        card.points = rng.between(1, 500);
    card.smsAllowed = rng.chance(0.7);
    return card;
}

CariCard internalCard(int k)
{
    const auto kinds = Data::internalCards();
    const auto titles = Data::internalTitles();
    const size_t kind = size_t(k) % kinds.size();
    const int serial = k / int(kinds.size()) + 1;
    CariCard card;
    card.internal = true;
    card.code = u'=' + u(kinds[kind]) + twoDigits(serial);
    card.title = u(titles[kind]);
    if (serial > 1)
        card.title += u' ' + QString::number(serial);
    card.registered = QStringLiteral("2013-01-01");
    return card;
}

CariCard employee(Rng& rng, int index, QSet<QString>& names)
{
    Person p = randomPerson(rng, 0.85);
    // The register shows staff by name, so two with the same name would be confusing; retry a few times.
    for (int tries = 0; tries < 50 && names.contains(p.first + u' ' + p.surname); ++tries)
        p = randomPerson(rng, 0.85);
    CariCard card;
    card.employee = true;
    card.code = QStringLiteral("E%1").arg(index + 1, 3, 10, QLatin1Char('0'));
    card.title = p.first + u' ' + p.surname;
    names.insert(card.title);
    card.gender = p.female ? QStringLiteral("K") : QStringLiteral("E");
    fillContact(card, rng);
    card.registered = dayAfter(QDate(2015, 1, 1), rng.between(0, 3600));
    card.commission = rng.between(2, 6) * 5;
    card.smsAllowed = true;
    return card;
}

} // namespace

std::vector<CariCard> buildCari(int customers, int employees, quint32 seed)
{
    customers = qMax(customers, 0);
    employees = qMax(employees, 0);
    Rng rng((quint64(seed) << 8) | 2);

    const int internalCount = customers >= 20 ? qMax(1, int(std::llround(customers * 0.005))) : 0;
    const std::vector<bool> internal = pickPositions(customers, internalCount, rng);
    const int real = customers - internalCount;
    const std::vector<bool> noAccount = pickPositions(real, int(std::llround(real * 0.01)), rng);
    const int apostrophe = customers > 50 ? int(rng.below(quint32(real))) : -1;

    const quint64 cardKey = rng.next();
    std::vector<CariCard> cards;
    cards.reserve(size_t(customers + employees));
    int realIndex = 0;
    int internalIndex = 0;
    for (int i = 0; i < customers; ++i) {
        if (internal[size_t(i)]) {
            cards.push_back(internalCard(internalIndex++));
            continue;
        }
        CariCard card = customer(rng, realIndex, real, realIndex == apostrophe);
        // Ten digits, never starting with 0.
        card.cardNumber = QString::number(1000000000ull + scatter(quint64(realIndex), 9000000000ull, cardKey));
        card.noAccount = noAccount[size_t(realIndex)];
        cards.push_back(std::move(card));
        ++realIndex;
    }

    QSet<QString> staff;
    Rng staffRng((quint64(seed) << 8) | 3);
    for (int i = 0; i < employees; ++i)
        cards.push_back(employee(staffRng, i, staff));
    return cards;
}

} // namespace Demo
