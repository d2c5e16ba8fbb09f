#include "salonfixture.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/database.h"
#include "data/pgengine.h"
#include "data/recordmodels.h"
#include "data/schema.h"
#include "data/turkish.h"
#include "input/keyboard.h"
#include "ui/datagrid.h"
#include "ui/textbox.h"
#include "ui/feedback.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QTest>

namespace {
const char* const kEnv[] = {"SALONYA_PROGRAM_DIR", "SALONYA_DRIVES", "SALONYA_SHARES", "XDG_CONFIG_HOME", "SALONYA_NETWORK", "SALONYA_SERVER"};
}

SalonFixture::SalonFixture()
{
    for (const char* name : kEnv) m_savedEnv << qgetenv(name);
    qputenv("SALONYA_PROGRAM_DIR", (m_dir.path() + QStringLiteral("/program")).toUtf8());
    qputenv("SALONYA_DRIVES", (m_dir.path() + QStringLiteral("/drives")).toUtf8());
    qputenv("SALONYA_SHARES", (m_dir.path() + QStringLiteral("/shares")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("SALONYA_NETWORK", "0");
    QDir().mkpath(programDir());
    // Today's backup counts as taken, so no copy runs beside a test (the backup suite removes it).
    QDir().mkpath(programDir() + QStringLiteral("/Yedek/") + QDate::currentDate().toString(Qt::ISODate));
    QDir().mkpath(m_dir.path() + QStringLiteral("/drives/C/DefteryaData"));
    Feedback::setBeepHandler([this] { ++beeps; });
    Feedback::setMessageHandler([this](Feedback::Icon, const QString&, const QString& text) { messages << text; });
    // On a salon server every salon starts empty, as a new program folder does.
    if (!Pg::serverSetting().isEmpty()) {
        QString error;
        auto db = Database::open(ownFile(QStringLiteral("Cari.Mdb")), true, &error);
        if (!db || !db->exec(QStringLiteral("DROP SCHEMA IF EXISTS cari, stok, salonya CASCADE"), &error)) qWarning() << "server reset:" << error;
    }
}

SalonFixture::~SalonFixture()
{
    stop();
    Feedback::setBeepHandler({});
    Feedback::setMessageHandler({});
    for (int i = 0; i < int(std::size(kEnv)); ++i) {
        if (m_savedEnv[i].isEmpty()) qunsetenv(kEnv[i]);
        else qputenv(kEnv[i], m_savedEnv[i]);
    }
}

QString SalonFixture::programDir() const { return m_dir.path() + QStringLiteral("/program"); }
QString SalonFixture::localPrefix() const { return m_dir.path() + QStringLiteral("/drives/C/DefteryaData/01"); }
QString SalonFixture::slotFile() const { return m_dir.path() + QStringLiteral("/drives/C/DefteryaData/Müsteri.mdb"); }
QString SalonFixture::ownFile(const QString& name) const { return programDir() + u'/' + name; }

bool SalonFixture::execOwn(const QString& name, const QString& sql)
{
    QString error;
    if (!Schema::ensureOwnDatabases(programDir(), &error)) {
        qWarning() << "execOwn:" << error;
        return false;
    }
    if (AccountingFiles::exec(ownFile(name), sql, &error)) return true;
    qWarning() << "execOwn:" << error;
    return false;
}

QVariant SalonFixture::ownValue(const QString& name, const QString& sql) const
{
    const QList<QVariantMap> r = AccountingFiles::rows(ownFile(name), sql);
    return r.isEmpty() ? QVariant() : r[0].first();
}

Salonya* SalonFixture::start(const std::function<void(Salonya*)>& beforeShow)
{
    stop();
    m_form = std::make_unique<Salonya>();
    if (!m_form->startup()->load()) return nullptr;
    if (beforeShow) beforeShow(m_form.get());
    m_form->show();
    m_form->activateWindow();
    (void)QTest::qWaitFor([this] { return m_form->startup()->isReady(); }, 10000);
    return m_form->startup()->isReady() ? m_form.get() : nullptr;
}

void SalonFixture::stop()
{
    if (!m_form) return;
    m_form->close();
    m_form.reset();
    QCoreApplication::processEvents();
}

void SalonFixture::touch(QWidget* w, Qt::KeyboardModifiers modifiers)
{
    const QPoint c = w->rect().center();
    // Widgets take the focus on a press, as a touch does on the terminal.
    if (w->focusPolicy() & Qt::ClickFocus) w->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(w, Qt::LeftButton, modifiers, c);
    // Let go of the keys, or the application keeps reporting them held.
    if (modifiers.testFlag(Qt::ControlModifier)) QTest::keyRelease(w->window(), Qt::Key_Control, Qt::NoModifier);
    if (modifiers.testFlag(Qt::ShiftModifier)) QTest::keyRelease(w->window(), Qt::Key_Shift, Qt::NoModifier);
}

bool SalonFixture::touchCell(DataGrid* grid, int row, int column)
{
    const QModelIndex i = grid->model() ? grid->model()->index(row, column) : QModelIndex();
    if (!i.isValid()) return false;
    grid->scrollTo(i);
    grid->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(i).center());
    return true;
}

void SalonFixture::touchKey(int index)
{
    TouchKey* k = m_form->key(index);
    Q_ASSERT(k);
    QTest::mouseMove(k, k->rect().center());
    QTest::mouseClick(k, Qt::LeftButton, Qt::NoModifier, k->rect().center());
}

void SalonFixture::typeOnKeys(const QString& text)
{
    for (const QChar ch : text) {
        int found = -1;
        if (ch == u' ') found = 34;
        for (int i = 0; found < 0 && i < m_form->Label1.size(); ++i) {
            TouchKey* k = m_form->Label1[i];
            if (!k || i == 33 || i == 34 || i >= 46) continue;
            if (k->text() == ch || Turkish::toLower(k->text()) == Turkish::toLower(QString(ch))) found = i;
        }
        Q_ASSERT_X(found >= 0, "typeOnKeys", "no key for this character");
        touchKey(found);
    }
}

void SalonFixture::typeOnKeyboard(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        const QString one(ch);
        const auto key = ch.isLetterOrNumber() ? Qt::Key(one.toUpper().at(0).unicode()) : Qt::Key(ch.unicode());
        QTest::sendKeyEvent(QTest::Click, w, key, one, Qt::NoModifier);
    }
}

bool SalonFixture::tapListEntry(TouchList* list, const QString& text)
{
    RecordListModel* m = list->listModel();
    for (int row = 0; row < m->rowCount(); ++row) {
        if (m->text(row) != text) continue;
        const QModelIndex i = m->index(row);
        list->scrollTo(i);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(i).center());
        return true;
    }
    return false;
}

void SalonFixture::giveKeyboard(Salonya* f, TextBox* field)
{
    if (field == f->Text1) Keyboard::takeKeyboard(*f, field, f->DataCari, QStringLiteral("CariKartlar"));
    else if (field == f->Text2) Keyboard::takeKeyboard(*f, field, f->DataEleman, QStringLiteral("Eleman"));
    else if (field == f->StokText) Keyboard::takeKeyboard(*f, field, f->DataStok, QStringLiteral("StokKartlar"));
    else if (field == f->Text3) Keyboard::takeKeyboard(*f, field, f->DataStok, QStringLiteral("Boya"));
    else Keyboard::takeKeyboard(*f, field, nullptr, QStringLiteral("Miktar"));
}
