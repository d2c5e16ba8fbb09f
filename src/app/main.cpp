#include "app/salonya.h"
#include "app/startup.h"
#include "ui/feedback.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The screen, the data and the keyboard are Turkish whatever the machine says.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    // Qt's own dialogs (colour, font, date) speak Turkish too.
    QTranslator qtTurkish;
    if (qtTurkish.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTurkish);
    Salonya form;
    if (!form.startup()->load()) {
        Feedback::message(nullptr, Feedback::Icon::Critical, QStringLiteral("Salonya"), form.fatalError());
        return 2;
    }
    form.show();
    return app.exec();
}
