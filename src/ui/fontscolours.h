#pragma once
// The salon's own look of the main screen: the service buttons' font, the button, background and
// frame colours, chosen from the pop-up menus YazFnt and Renk, kept in the settings store as
// 0x00BBGGRR decimal numbers and applied again at every start.

#include <QColor>
#include <QFont>
#include <QObject>
#include <optional>

class QMenu;
class Salonya;
class QWidget;

// The colour and font dialogs; no answer means the user cancelled. Tests put their own in.
class LookDialogs
{
public:
    virtual ~LookDialogs() = default;
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& start) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& start) = 0;

    static LookDialogs& current();
    // Null puts Qt's dialogs back.
    static void replace(LookDialogs* dialogs);
};

class FontsColours : public QObject
{
    Q_OBJECT
public:
    explicit FontsColours(Salonya* form);
    static FontsColours* of(const Salonya& form);

    QMenu* YazFnt = nullptr; // "Yazı Fontu", "Renk Seçimi" (button colour)
    QMenu* Renk = nullptr;   // "Renk Seçimi" for the target in Durum

    // Right button on a service button, on the panel's empty area (Durum 3), on the background (Durum 1).
    static void buttonMenu(Salonya& form, const QPoint& global);
    static void frameMenu(Salonya& form, const QPoint& global);
    static void formMenu(Salonya& form, const QPoint& global);

    void RenkSec_Click();   // colour for the target in Durum: 1 background, 2 buttons, 3 frames
    void ZeminRenk_Click(); // Durum 2, then the colour
    void YazFont_Click();

    // "FontName" and "FontSize" to all 33 service buttons; nothing when no font was chosen.
    static void applyFonts(Salonya& form);
    // "Salonya", "ZeminRenk" and "FrmRenk" with their first-start defaults.
    static void restoreColours(Salonya& form);

private:
    void popup(QMenu* menu, const QPoint& global, float target);
    Salonya* f;
    bool m_handling = false;
};
