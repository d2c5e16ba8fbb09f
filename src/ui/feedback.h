#pragma once
// Beeps and message boxes, the only ways the desk speaks besides its fields.
// Tests replace both to observe them without sound or modal windows.

#include <QString>
#include <functional>

class QWidget;

namespace Feedback {

void beep();
void setBeepHandler(std::function<void()> handler); // empty restores the real beep

enum class Icon { Critical, Information, Warning };
void message(QWidget* parent, Icon icon, const QString& title, const QString& text);
void setMessageHandler(std::function<void(Icon, const QString& title, const QString& text)> handler);

} // namespace Feedback
