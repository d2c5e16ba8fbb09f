#pragma once
// The ticket-entry subsystem on the main screen: the service panel, the open-ticket grids, the
// barcode stock frame and the hair-dye frame.

#include <QObject>

class Salonya;
class ServicePanel;
class TicketGrids;

class TicketEntry : public QObject
{
    Q_OBJECT
public:
    explicit TicketEntry(Salonya* form);
    ServicePanel* panel() const { return m_panel; }
    TicketGrids* grids() const { return m_grids; }

private:
    ServicePanel* m_panel = nullptr;
    TicketGrids* m_grids = nullptr;
};
