#include "app/backup.h"
#include "app/hostpaths.h"
#include "app/kiosk.h"
#include "app/restore.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "data/schema.h"
#include "ui/feedback.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
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
    parser.addOption({QStringLiteral("restore"),
                      QStringLiteral("Salonya kapalıyken günlük yedeği (verilmezse en yeni sağlam yedeği) program klasörüne geri yükler."),
                      QStringLiteral("yyyy-aa-gg")});
    (void)parser.parse(QCoreApplication::arguments());
    if (parser.isSet(version)) parser.showVersion(); // prints and exits
    std::fputs((parser.helpText() + QStringLiteral("\nProgram klasörü: %1\n").arg(HostPaths::programDir())).toUtf8().constData(), stdout);
    return 0;
}

// --restore [yyyy-mm-dd]: puts a day's backup of the three own databases back, with the desk closed,
// and says on the terminal what it did.
int restoreBackup(int argc, char** argv, int at)
{
    QCoreApplication app(argc, argv);
    const QString dir = HostPaths::programDir();
    const QStringList files{QString::fromLatin1(Schema::CariFile), QString::fromLatin1(Schema::StokFile),
                            QString::fromLatin1(Schema::SalonyaFile)};
    auto say = [](FILE* to, const QString& text) { std::fputs((text + u'\n').toUtf8().constData(), to); };
    QDate day;
    if (at + 1 < argc) {
        day = QDate::fromString(QString::fromLocal8Bit(argv[at + 1]), Qt::ISODate);
        if (!day.isValid()) {
            say(stderr, QStringLiteral("Geri yüklenecek gün yyyy-aa-gg biçiminde yazılmalı, örneğin 2026-12-05."));
            return 1;
        }
    } else if (day = Restore::newestGoodDay(dir, files); !day.isValid()) {
        say(stderr, QStringLiteral("Sağlam bir yedek bulunamadı: %1").arg(QDir::toNativeSeparators(dir + QStringLiteral("/Yedek"))));
        return 1;
    }
    QStringList done;
    const QString error = Restore::run(dir, day, files, &done);
    if (!done.isEmpty())
        say(stdout, QStringLiteral("%1 yedeğinden geri yüklendi: %2")
                        .arg(QDir::toNativeSeparators(Backup::folderOf(dir, day)), done.join(QStringLiteral(", "))));
    if (!error.isEmpty()) say(stderr, error);
    return error.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--restore") == 0) return restoreBackup(argc, argv, i);
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
