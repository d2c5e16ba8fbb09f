#pragma once
// The employee field Text2 and its list DBListe2: open only once a customer is chosen, pick an
// employee or create one on Enter (a card with a shared "Cr-" number and a row of Eleman), and
// follow the chosen employee with the customer's open lines.

#include <QObject>

class Salonya;

class EmployeeSelection : public QObject
{
    Q_OBJECT
public:
    explicit EmployeeSelection(Salonya* form);

private:
    void openSearch();
    void textChanged();
    void keyDown(int key);
    void fieldLeft();
    void listLeft();
    void picked(const QString& text);
    void employeeMoved();
    bool createEmployee(const QString& name, QString* error);

    Salonya* f;
};
