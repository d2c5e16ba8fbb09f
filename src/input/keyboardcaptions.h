#pragma once
// Captions of the on-screen keys for the capitals mode.

class Salonya;

namespace Keyboard {
// Key 47 reads "AB" or "ab"; letter keys 0-31 in upper or lower case; keys 10 and 11 as I/İ or ı/i.
void applyCapitalsCaptions(Salonya& form, bool capitals);
}
