#pragma once
// Tells the focus moves a user makes from the ones the platform makes on its own: when the window
// loses its activation or a pop-up opens, the focused control gets the focus back later by itself;
// the controls' focus handlers hear of neither half. Should the focus come back to another control
// (the user touched it while the window was inactive), the one that had it hears that it lost it first.

class QFocusEvent;
class QWidget;

namespace UserFocus {
// On a focus-out of w: true when its handlers should hear of it.
bool leaving(QWidget* w, const QFocusEvent* e);
// On a focus-in of w: true when its handlers should hear of it. The control w must have a
// lostFocus() signal (TextBox, TouchList).
bool arriving(QWidget* w, const QFocusEvent* e);
} // namespace UserFocus
