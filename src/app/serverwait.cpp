#include "serverwait.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <libpq-fe.h>

namespace ServerWait {
namespace {

std::function<bool(const QString&)>& askHandler()
{
    static std::function<bool(const QString&)> h;
    return h;
}

// Empty when the server takes a connection, else libpq's reason.
QString probe(const QString& server)
{
    // A server that is down must not hold the desk for libpq's default of minutes.
    const QString info = server.contains(QLatin1String("connect_timeout")) ? server : server + QStringLiteral(" connect_timeout=5");
    PGconn* c = PQconnectdb(info.toUtf8().constData());
    const QString why = PQstatus(c) == CONNECTION_OK ? QString() : QString::fromUtf8(PQerrorMessage(c)).trimmed();
    PQfinish(c);
    return why;
}

} // namespace

bool untilReachable(const QString& server, QString* why)
{
    for (;;) {
        const QString reason = probe(server);
        if (reason.isEmpty()) return true;
        *why = QStringLiteral("Salon sunucusuna bağlanılamadı (%1).\n\nKontrol edin: sunucu bilgisayarı açık mı, bu masanın ağ kablosu"
                              " ya da kablosuz bağlantısı çalışıyor mu, ayarlardaki \"Sunucu\" satırı doğru mu?\n\n%2")
                   .arg(server, reason);
        if (askHandler()) {
            if (!askHandler()(*why)) return false;
            continue;
        }
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Salonya"), *why + QStringLiteral("\n\nSunucu yanıt verince Salonya kendiliğinden açılır."));
        QPushButton* again = box.addButton(QStringLiteral("Yeniden Dene"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Kapat"), QMessageBox::RejectRole);
        // Tried again by itself, so a desk started before the server comes up without a touch.
        QTimer retry;
        bool answered = false;
        QObject::connect(&retry, &QTimer::timeout, &box, [&] {
            if (probe(server).isEmpty()) { answered = true; box.close(); }
        });
        retry.start(5000);
        QApplication::restoreOverrideCursor();
        box.exec();
        if (!answered && box.clickedButton() != again) return false;
    }
}

void setAskHandler(std::function<bool(const QString&)> handler) { askHandler() = std::move(handler); }

} // namespace ServerWait
