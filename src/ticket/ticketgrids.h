#pragma once
// The open-ticket grids: DBGridIslem (this customer's lines with this employee) and DBGridMüs (every
// open line of the day, whose rows switch the desk to their customer and employee).

#include <QObject>

class DataGrid;
class DataSource;
class Salonya;

class TicketGrids : public QObject
{
    Q_OBJECT
public:
    explicit TicketGrids(Salonya* form);

    // A touched row of DBGridMüs: its customer title and employee, and every line of that title today.
    void DBGridMus_RowColChange();
    // With the ticket book on a salon server: another desk's lines reach DBGridMüs without a touch.
    void followOtherDesks();

private:
    void entered(DataGrid* grid, DataSource* ds, float liste);
    void otherDeskWrote();

    Salonya* f;
};
