#include "app/hostpaths.h"
#include "app/kiosk.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "ui/feedback.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QScreen>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>

namespace {

// --help and --version answer on the terminal, without a screen.
int answerHelp(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("salonya"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SALONYA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Salonya: kuaför salonunun dokunmatik ön büro programı."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("kiosk"), QStringLiteral("Salon terminali: tam ekran, her zaman üstte; beklenmedik kapanışta yeniden başlar, EXİT bitirir.")});
    const QCommandLineOption version = parser.addVersionOption();
    (void)parser.parse(QCoreApplication::arguments());
    if (parser.isSet(version)) parser.showVersion(); // prints and exits
    std::fputs((parser.helpText() + QStringLiteral("\nProgram klasörü: %1\n").arg(HostPaths::programDir())).toUtf8().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-v", "--version", "--help-all"})
            if (std::strcmp(argv[i], option) == 0) return answerHelp(argc, argv);
    bool kiosk = false;
    {
        QCoreApplication settingsOnly(argc, argv); // the setting's file is named after the program
        kiosk = Kiosk::requested(argc, argv);
    }
    if (kiosk && !Kiosk::supervised()) return Kiosk::supervise(argv);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("salonya"));
    QIcon icon;
    for (int size : {32, 48, 64, 256}) icon.addFile(QStringLiteral(":/icons/salonya-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
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
    if (kiosk) {
        Kiosk::dress(form);
        // Start-up restores the stored window place; without a window manager nobody puts it back.
        QObject::connect(form.startup(), &Startup::ready, &form, [&form] { form.setGeometry(form.screen()->geometry()); });
    }
    form.show();
    return app.exec();
}
