#include "startup.h"

#include "backup.h"
#include "serverwait.h"
#include "data/pgengine.h"
#include "restore.h"
#include "hostpaths.h"
#include "network.h"
#include "salonya.h"
#include "settings.h"
#include "checkout/checkout.h"
#include "ticket/ticketgrids.h"
#include "wheel.h"
#include "windowplace.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "data/schema.h"
#include "input/capsonoff.h"
#include "input/keyboardcaptions.h"
#include "ui/datagrid.h"
#include "ui/fontscolours.h"
#include "ui/gridlayout.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/textbox.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <ctime>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcStartup, "salonya.startup", QtWarningMsg)

namespace {
const QString kDefaultShare = QStringLiteral("\\\\127.0.0.1\\DefteryaData\\01");
const QString kLocalPrefix = QStringLiteral("C:\\DefteryaData\\01");
} // namespace

Startup::Startup(Salonya* form) : QObject(form), f(form)
{
    // The save-wait ends when one of these sources reports the update.
    for (DataSource* ds : {f->DataCari, f->DataEleman, f->DataSalonya, f->DataStok, f->DataTmp})
        connect(ds, &DataSource::beforeUpdate, this, [this](int action) {
            if (action == DataSource::ActionUpdate) f->state.KayitBekle = false;
        });
    connect(f, &Salonya::activated, this, &Startup::activate);
    m_markTimer.setSingleShot(true);
    connect(&m_markTimer, &QTimer::timeout, this, &Startup::writeMarkStep);
}

qint64 Startup::processUptimeMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    timespec now{};
    if (!stat.open(QIODevice::ReadOnly) || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which may hold blanks, start behind the last ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20) return -1;
    const double startSec = fields[19].toDouble() / double(sysconf(_SC_CLK_TCK));
    const double nowSec = double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    return qint64((nowSec - startSec) * 1000.0);
}

QString Startup::dateCriterion(const QDate& day)
{
    return QStringLiteral("Tarih=") + Jet::dateLiteral(day);
}

template <typename F>
void Startup::step(const char* name, F&& fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    qCDebug(lcStartup, "%s: %lld ms", name, t.elapsed());
}

bool Startup::load()
{
    QElapsedTimer total;
    total.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Wheel::HookWheel(*f);

    // Ctrl held at start keeps the full title bar; otherwise only restore and close stay.
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) {
        while (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) QCoreApplication::processEvents();
    } else {
        f->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    }

    const QString dir = HostPaths::programDir();
    QString error;
    // Every refusal says where the day's backups are, since restoring one is the way out.
    auto refuse = [&](const QString& why) {
        f->setFatalError(why + QStringLiteral("\n\nGünlük yedekler: %1").arg(QDir::toNativeSeparators(dir + QStringLiteral("/Yedek"))));
        QApplication::restoreOverrideCursor();
        return false;
    };
    // The program folder must take our files; a probe write tells more than permission bits.
    {
        QDir().mkpath(dir);
        QFile probe(dir + QStringLiteral("/.salonya-yazma-denemesi"));
        if (!probe.open(QIODevice::WriteOnly))
            return refuse(QStringLiteral("Program klasörüne yazılamıyor:\n%1\n\nKlasörün yazılabilir olduğundan emin olun.")
                              .arg(QDir::toNativeSeparators(dir)));
        probe.close();
        probe.remove();
    }
    if (const QString server = Pg::serverSetting(); !server.isEmpty())
        if (QString why; !ServerWait::untilReachable(server, &why)) return refuse(why);
    if (QString why; !checkOwnDatabases(dir, &why)) return refuse(why);
    if (!Schema::ensureOwnDatabases(dir, &error)) return refuse(QStringLiteral("Salonya veritabanları açılamadı:\n%1").arg(error));
    step("databases", [&] {
        const QString cari = HostPaths::inProgramDir(QString::fromLatin1(Schema::CariFile));
        const QString stok = HostPaths::inProgramDir(QString::fromLatin1(Schema::StokFile));
        const QString salonya = HostPaths::inProgramDir(QString::fromLatin1(Schema::SalonyaFile));
        f->DataRec->setDatabaseName(cari);
        f->DataCari->setDatabaseName(cari);
        f->DataStok->setDatabaseName(stok);
        f->DataSalonya->setDatabaseName(salonya);
        f->DataEleman->setDatabaseName(cari);
        f->DataGecmis->setDatabaseName(salonya);
        f->DataGunluk->setDatabaseName(salonya);
        f->DataGecmis->setRecordSource(QStringLiteral("Select * From Salonya Where Cari='' Order By Islem ASC"));
        f->DataStok->setRecordSource(QStringLiteral("Select * From Stokkartlar Order By StokAdi ASC"));
        f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=''"));
        f->state.Durum = 99;
        for (DataSource* ds : {f->DataRec, f->DataCari, f->DataStok, f->DataEleman, f->DataGecmis, f->DataSalonya})
            Data::refreshRoutine(ds);
    });

    bool recOk = f->DataRec->isOpen();
    if (recOk && f->DataRec->recordCount() == 0) {
        recOk = f->DataRec->addNew() && f->DataRec->setField(0, 0) && f->DataRec->update();
        Data::refreshRoutine(f->DataRec);
        recOk = recOk && f->DataRec->recordCount() > 0;
    }
    if (!recOk) return refuse(QStringLiteral("Salonya veritabanları açılamadı:\n%1").arg(f->DataRec->lastError()));

    step("keyboard", [&] {
        f->state.CapsDurum = Settings::toBool(Settings::get(Settings::appName(), QStringLiteral("SizeKlv"), QStringLiteral("Caps"),
                                                            QStringLiteral("False")), false);
        Keyboard::applyCapitalsCaptions(*f, f->state.CapsDurum);
        CapsOnOff::SetCapsLock(f->state.CapsDurum);
    });
    f->state.AktifText = f->Text1;
    f->DTPicker1->setDate(QDate::currentDate());
    f->KasaCmd->setEnabled(true);
    qCDebug(lcStartup, "load: %lld ms", total.elapsed());
    return true;
}

bool Startup::checkOwnDatabases(const QString& dir, QString* why)
{
    QStringList reasons;
    const QStringList bad = Restore::damaged(dir, &reasons);
    if (bad.isEmpty()) return true;
    QStringList lines;
    for (int i = 0; i < bad.size(); ++i)
        lines << QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(dir + u'/' + bad[i]), reasons[i]);
    *why = QStringLiteral("Salonya veritabanı bozuk:\n%1").arg(lines.join(u'\n'));
    const QDate day = Restore::newestGoodDay(dir, bad);
    if (!day.isValid()) {
        *why += QStringLiteral("\n\nSağlam bir yedeği bulunamadı.");
        return false;
    }
    const QString folder = QDir::toNativeSeparators(Backup::folderOf(dir, day));
    if (!Restore::ask(*why + QStringLiteral("\n\nEn yeni sağlam yedek %1 günü alınmış (%2). Geri yüklensin mi?\n"
                                            "O günden sonra bu dosyaya yazılanlar kaybolur.").arg(day.toString(QStringLiteral("dd.MM.yyyy")), folder)))
        return false;
    QStringList done;
    if (const QString error = Restore::run(dir, day, bad, &done); !error.isEmpty()) {
        *why += QStringLiteral("\n\n") + error;
        return false;
    }
    Feedback::message(f, Feedback::Icon::Information, QStringLiteral("Salonya"),
                      QStringLiteral("%1 %2 yedeğinden geri yüklendi.").arg(done.join(QStringLiteral(", ")), folder));
    return true;
}

// Visible to the form, not on screen: a hidden form (EXİT closing it) is still ready and never loads again.
bool Startup::isReady() const { return f->DBGridMus->isVisibleTo(f); }

void Startup::applyColours() { FontsColours::restoreColours(*f); }

void Startup::placeWindow()
{
    f->state.VeriYolu = Settings::get(QStringLiteral("IpNo"));
    if (!f->state.VeriYolu.isEmpty()) {
        WindowPlace::restoreGeometry(*f);
    } else {
        WindowPlace::moveToTopCentre(*f);
        Settings::save(QStringLiteral("IpNo"), kDefaultShare);
    }
}

void Startup::chooseDataFolder()
{
    if (!(Network::present() && !f->state.VeriYolu.isEmpty())) f->state.VeriYolu = kLocalPrefix;
    f->DataTmp->setDatabaseName(HostPaths::toLocal(f->state.VeriYolu + QStringLiteral("Stok.mdb")));
}

void Startup::activate()
{
    // The waits inside let events run, and a second activation may arrive meanwhile.
    if (isReady() || m_activating) return;
    m_activating = true;
    QElapsedTimer total;
    total.start();
    FormState& s = f->state;
    step("colours", [&] { applyColours(); });
    step("window", [&] { placeWindow(); });
    step("open tickets", [&] {
        s.TarihKriter = dateCriterion(QDate::currentDate());
        f->DataGunluk->setRecordSource(QStringLiteral("Select * From Salonya Where ") + s.TarihKriter
                                       + QStringLiteral(" And Yeni=1 Order By Tarih ASC"));
        Data::refreshRoutine(f->DataGunluk);
        if (auto* grids = f->findChild<TicketGrids*>()) grids->followOtherDesks();
    });
    step("data folder", [&] { chooseDataFolder(); });
    step("unfinished send", [&] {
        if (auto* c = f->findChild<Checkout*>()) c->finishUnfinishedSend();
    });
    step("stock import", [&] { importStock(); });
    s.Durum = 99;
    f->DataTmp->setDatabaseName(HostPaths::toLocal(s.VeriYolu + QStringLiteral("Cari.mdb")));
    step("customer import", [&] { importCustomers(); });
    step("employee import", [&] { importEmployees(); });
    step("customer list", [&] {
        f->DataCari->setRecordSource(QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan DESC"));
        Data::refreshRoutine(f->DataCari);
        s.Durum = 0;
    });
    step("buttons", [&] {
        for (int n = 1; n <= 26; ++n)
            f->Command1[n]->setText(Settings::get(QStringLiteral("Buton") + QString::number(n)));
    });
    // Saved column widths are what the user saw at the stored window size: read at that size.
    step("grid layouts", [&] {
        GridLayouts::loadAll(*f);
        if (WindowPlace* place = WindowPlace::of(*f)) place->layoutsLoaded();
        GridLayouts::fitAll(*f);
    });
    step("fonts", [&] { FontsColours::applyFonts(*f); });
    f->DBGridMus->show();
    f->KasaCmd->setText(QStringLiteral("HESABI  KASAYA  GÖNDER"));
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    f->KlvTxt->setFocus();
    f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=''"));
    f->DataSalonya->refresh();
    qCDebug(lcStartup, "activation: %lld ms", total.elapsed());
    qCInfo(lcStartup, "ready in %lld ms", processUptimeMs());
    m_activating = false;
    // The day's backup, after ready so it never holds up the first touch.
    (new Backup(HostPaths::programDir(), f))->startIfDue();
    writeMarks();
    emit ready();
}
