#pragma once
// Fixed tables the demo salon is drawn from: catalogue, names, places. All strings UTF-8.

#include <span>

namespace Demo::Data {

struct Service {
    const char* name;
    int price;     // TL
    bool byLength; // priced by hair length, so it gets short/medium/long variants
};

struct Product {
    const char* name;
    const char* brand;
    double price;
};

// A kind of retail product and the sizes it comes in; the first size carries the price.
struct ProductKind {
    const char* noun;
    bool styling; // takes the styling lines instead of the care lines
    int price;
    int ml[4];    // 0 ends the list
};

struct Brand {
    const char* name;
    double factor; // price level against the average brand
};

struct Shade {
    const char* code; // "7.1"
    const char* name; // "Küllü Kumral"
};

struct Place {
    const char* city;
    const char* district;
    const char* quarters[4];
};

struct Weighted {
    const char* text;
    double factor;
};

std::span<const Service> services();
std::span<const Product> products();
std::span<const Shade> baseShades();   // the dyes of the base catalogue
std::span<const Shade> allShades();    // what brand variants are drawn from
std::span<const Weighted> oxidants();  // "%6" with its price per 100 g
std::span<const ProductKind> productKinds();
std::span<const Brand> brands();
std::span<const Weighted> careLines();
std::span<const Weighted> stylingLines();
std::span<const Weighted> series();    // "" first: the plain line
std::span<const Weighted> serviceModifiers();
std::span<const Weighted> lengthModifiers();

std::span<const char* const> femaleNames();
std::span<const char* const> maleNames();
std::span<const char* const> femaleSecondNames();
std::span<const char* const> maleSecondNames();
std::span<const char* const> surnames();
std::span<const char* const> apostropheSurnames();
std::span<const char* const> streets();
std::span<const Place> places();       // the first place is the salon's own district
std::span<const char* const> mobilePrefixes(); // "532"
std::span<const char* const> internalCards();  // "KASA", shown as "=KASA01"
std::span<const char* const> internalTitles(); // same order as internalCards()

constexpr double dyePricePer100g = 220.0;
constexpr double lighteningPowderPer100g = 160.0;

} // namespace Demo::Data
