#pragma once
// The ticket-entry subsystem on the main screen: the service panel, the open-ticket grids, the
// barcode stock frame and the hair-dye frame.

#include <QObject>

class Salonya;
class ServicePanel;
class StockFrame;
class TicketGrids;

class TicketEntry : public QObject
{
    Q_OBJECT
public:
    explicit TicketEntry(Salonya* form);
    ServicePanel* panel() const { return m_panel; }
    TicketGrids* grids() const { return m_grids; }

    // A scanned stock code, wherever the focus was: the stock frame opens as "STOKLAR" opens it and
    // looks the code up as if it had been read in its field.
    void scan(const QString& code);

private:
    Salonya* f;
    ServicePanel* m_panel = nullptr;
    TicketGrids* m_grids = nullptr;
    StockFrame* m_stock = nullptr;
};
