#include "keyboardcaptions.h"

#include "app/salonya.h"
#include "data/turkish.h"
#include "ui/touchkey.h"

void Keyboard::applyCapitalsCaptions(Salonya& form, bool capitals)
{
    form.key(47)->setText(capitals ? QStringLiteral("AB") : QStringLiteral("ab"));
    for (int i = 0; i <= 31; ++i) {
        TouchKey* k = form.key(i);
        k->setText(capitals ? Turkish::toUpper(k->text()) : Turkish::toLower(k->text()));
    }
    // Set after the case change: the dotted and dotless i pair by Turkish rules, not by the generic mapping.
    form.key(10)->setText(capitals ? QStringLiteral("I") : QStringLiteral("ı"));
    form.key(11)->setText(capitals ? QStringLiteral("İ") : QStringLiteral("i"));
}
