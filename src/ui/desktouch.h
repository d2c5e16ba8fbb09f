#pragma once
// The main screen's touch gestures: a long press wherever the right button opens a menu (service
// buttons, the panel's empty area, the background) and finger scrolling of every list and grid.

#include <QObject>

class LongPress;
class Salonya;

class DeskTouch : public QObject
{
    Q_OBJECT
public:
    explicit DeskTouch(Salonya* form);
    LongPress* longPress() const { return m_longPress; }

private:
    LongPress* m_longPress;
};
