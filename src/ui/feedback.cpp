#include "feedback.h"

#include <QApplication>
#include <QMessageBox>

namespace Feedback {
namespace {
std::function<void()>& beepHandler()
{
    static std::function<void()> h;
    return h;
}
std::function<void(Icon, const QString&, const QString&)>& messageHandler()
{
    static std::function<void(Icon, const QString&, const QString&)> h;
    return h;
}
} // namespace

void beep()
{
    if (beepHandler()) beepHandler()();
    else QApplication::beep();
}

void setBeepHandler(std::function<void()> handler) { beepHandler() = std::move(handler); }

void message(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    if (messageHandler()) { messageHandler()(icon, title, text); return; }
    const auto box = icon == Icon::Critical ? QMessageBox::Critical
        : icon == Icon::Warning            ? QMessageBox::Warning
                                           : QMessageBox::Information;
    QMessageBox mb(box, title, text, QMessageBox::Ok, parent);
    mb.exec();
}

void setMessageHandler(std::function<void(Icon, const QString&, const QString&)> handler)
{
    messageHandler() = std::move(handler);
}

} // namespace Feedback
