#pragma once
// Tells the focus moves a user makes from the ones the platform makes on its own: when the window
// loses its activation or a pop-up opens, the focused control gets the focus back later by itself,
// and when the window is activated again the platform may hand the focus to the first control of the
// form; the controls' focus handlers hear of none of these. A control that got the focus that way
// is reported as focused once the user touches it. Should the focus come back to another control,
// the one the handlers last heard of hears that it lost it.

class QFocusEvent;
class QWidget;

namespace UserFocus {
// On a focus-out of w: true when its handlers should hear of it.
bool leaving(QWidget* w, const QFocusEvent* e);
// On a focus-in of w: true when its handlers should hear of it. The control w must have a
// lostFocus() signal (TextBox, TouchList).
bool arriving(QWidget* w, const QFocusEvent* e);
// On a press on w: true when w has the focus but its handlers have not heard of it yet. A press
// in an inactive window makes the focus-in that the activation brings count as the user's.
bool touched(QWidget* w);
} // namespace UserFocus
