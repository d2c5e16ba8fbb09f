#pragma once
// The cash-register button "HESABI  KASAYA  GÖNDER": adds the customer and employee to the accounting
// card file when missing, hands the open ticket to a free register slot (all or nothing, SlotSender)
// and clears the customer from the screen. Any failure is told in words and the ticket stays open.
// At start-up it finishes a send this desk did not finish (SlotSender).

#include <QObject>

class Salonya;
class DataSource;

class Checkout : public QObject
{
    Q_OBJECT
public:
    explicit Checkout(Salonya* form);

    // The click handler of KasaCmd.
    void KasaCmd_Click();

    // Closes the lines of a send that reached a slot but not this desk's file; false when the
    // files cannot be reached now (the next send tries again before it sends).
    bool finishUnfinishedSend();

    // How long a file locked by another desk or the register is waited for.
    void setBusyTimeout(int ms) { m_busyMs = ms; }

private:
    void send();
    bool addAccountingCards(QString* message);
    bool addCard(DataSource* accounting, const QString& title, const QString& group, QString* message);
    QString localCardCode(const QString& title, const QString& group, bool moveCustomer);
    void clearScreen();
    void tell(const QString& text);

    Salonya* f;
    int m_busyMs;
    bool m_busy = false;
};
