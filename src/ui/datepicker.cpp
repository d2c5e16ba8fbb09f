#include "datepicker.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>

namespace {
// A fingertip is about 9 mm: some 48 px on the salon screens.
constexpr int kFinger = 48;
} // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    lineEdit()->installEventFilter(this);
    QCalendarWidget* cal = calendarWidget();
    cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    cal->setStyleSheet(QStringLiteral("QToolButton{min-height:%1px;font-size:20px;}"
                                      "QToolButton#qt_calendar_prevmonth,QToolButton#qt_calendar_nextmonth{min-width:%1px;qproperty-iconSize:32px;}"
                                      "QAbstractItemView{font-size:20px;}")
                           .arg(kFinger));
    cal->setMinimumSize(7 * kFinger, 7 * kFinger + kFinger);
}

void DatePicker::openCalendar()
{
    QCalendarWidget* cal = calendarWidget();
    cal->setSelectedDate(date());
    QWidget* popup = cal->window();
    popup->adjustSize();
    const QRect screen = this->screen()->availableGeometry();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (at.y() + popup->height() > screen.bottom()) at.setY(mapToGlobal(QPoint()).y() - popup->height());
    at.setX(qBound(screen.left(), at.x(), screen.right() - popup->width()));
    at.setY(qMax(screen.top(), at.y()));
    popup->move(at);
    popup->show();
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress && isEnabled()
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openCalendar();
        return true;
    }
    return QDateEdit::eventFilter(watched, event);
}
