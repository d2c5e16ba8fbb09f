#include "customers.h"

#include "app/salonya.h"

Customers::Customers(Salonya* form) : QObject(form), m_selection(new CustomerSelection(form))
{
    new EmployeeSelection(form);
}
