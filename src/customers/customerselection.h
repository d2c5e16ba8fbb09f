#pragma once
// The customer field Text1 and its list DBListe1: opening the search, narrowing it by title or
// loyalty card number, picking a customer, creating a card on Enter, and following the chosen
// customer with today's lines, the history and the photo.

#include <QObject>

class Salonya;

class CustomerSelection : public QObject
{
    Q_OBJECT
public:
    explicit CustomerSelection(Salonya* form);

    // Closes the hair-dye frame and puts the ticket and stock sources back; the employee field uses it too.
    static void closeDyeFrame(Salonya& f);
    // A scanned loyalty card while the field has the keyboard: its customer is chosen, as by a typed
    // card number; a number no customer has is refused in the field and never becomes a card.
    void readCard(const QString& number);

private:
    void openSearch();
    void textChanged();
    void keyReleased(int key);
    void keyDown(int key);
    void fieldLeft();
    void listLeft();
    void highlightChanged(const QString& text);
    void picked(const QString& text);
    void customerMoved();

    void cardFound();
    // Sets the title; the change handling runs even when the text stays the same.
    void showTitle(const QString& title);
    bool createCard(const QString& title, const QString& criterion, QString* error);

    Salonya* f;
};
