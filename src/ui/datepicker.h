#pragma once
// The day filter's date field for a finger: a tap anywhere on the date opens the calendar, whose
// month arrows and days are large enough to touch. The date is never typed on the screen.

#include <QDateEdit>

class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);
    // Shows the calendar below the field, on the field's screen.
    void openCalendar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
