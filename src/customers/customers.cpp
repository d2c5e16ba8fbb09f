#include "customers.h"

#include "app/salonya.h"

Customers::Customers(Salonya* form) : QObject(form)
{
    new CustomerSelection(form);
    new EmployeeSelection(form);
}
