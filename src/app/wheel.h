#pragma once
// The mouse wheel over the main screen: a notch over a visible list or grid becomes one Up or Down
// arrow for the control with the keyboard focus. Touchpads and high-resolution wheels send many
// small turns; they add up, and every 120 units make one arrow.

#include <QObject>

class QWidget;
class Salonya;

class Wheel : public QObject
{
    Q_OBJECT
public:
    static constexpr int Notch = 120;

    // Watches every wheel turn that reaches the form's window; unhooking stops it. Both are safe to repeat.
    static void HookWheel(Salonya& form);
    static void UnhookWheel(Salonya& form);

    // True when the global point lies in the widget's rectangle, all four edges inside.
    static bool PointInWindow(const QWidget* w, const QPoint& global);
    // One arrow to the focused control for a positive (Up) or negative (Down) rotation when a visible
    // list or grid lies under the point; returns whether one does (rotation 0 only asks).
    bool MouseWheel(int keyState, int rotation, int x, int y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit Wheel(Salonya* form);
    Salonya* f;
    int m_rest = 0; // rotation short of a whole notch
};
