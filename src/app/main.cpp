#include "app/salonya.h"
#include "app/startup.h"
#include "ui/feedback.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The screen, the data and the keyboard are Turkish whatever the machine says.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    Salonya form;
    if (!form.startup()->load()) {
        Feedback::message(nullptr, Feedback::Icon::Critical, QStringLiteral("Salonya"), form.fatalError());
        return 2;
    }
    form.show();
    return app.exec();
}
