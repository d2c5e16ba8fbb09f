#pragma once
// Turkish text rules shared by the database functions and the keyboard:
// case folding with the dotted/dotless i pairs, alphabet order, Jet Like matching, proper case.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace Turkish {

// Folds one code point to its lower-case Turkish form (I -> ı, İ -> i).
char32_t fold(char32_t c);
// Sort weight of one code point: case-insensitive, in the order of the Turkish alphabet.
uint32_t weight(char32_t c);

// Three-way comparison of two UTF-8 texts by Turkish weights (the "TR" collation).
int compareUtf8(std::string_view a, std::string_view b);
int compare(const QString& a, const QString& b);
// Bytes that compare (memcmp, ==) exactly as compareUtf8 compares the texts.
std::string sortKey(std::string_view utf8);

// Jet Like: * any run, ? one character, # one digit, [..] a set ([!..] negated, a-z ranges);
// case-insensitive by Turkish folding.
bool likeUtf8(std::string_view pattern, std::string_view text);
bool like(const QString& pattern, const QString& text);

// The literal head of a Like pattern (up to the first wildcard), used to narrow by an index.
QString likePrefix(const QString& pattern);

QString toUpper(const QString& s);
QString toLower(const QString& s);
// First letter of every word upper case, the rest lower case, by Turkish rules.
QString properCase(const QString& s);

} // namespace Turkish
