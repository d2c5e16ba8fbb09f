#pragma once
// The customers-and-staff subsystem of the main screen: the customer field and the employee field.

#include "customerselection.h"
#include "employeeselection.h"

class Customers : public QObject
{
    Q_OBJECT
public:
    explicit Customers(Salonya* form);
    CustomerSelection* selection() const { return m_selection; }

private:
    CustomerSelection* m_selection;
};
