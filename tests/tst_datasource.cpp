// The data source: finds, moves, BOF/EOF, add/edit/delete, notifications, failed saves, refresh, models, transactions.
#include "otherdesk.h"

#include "data/database.h"
#include "data/datasource.h"
#include "data/recordmodels.h"
#include "data/refresh.h"
#include "data/schema.h"
#include "data/turkish.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

class TestDataSource : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString path;
    std::shared_ptr<Database> db;

    std::unique_ptr<DataSource> source(const QString& rs, bool open = true)
    {
        auto ds = std::make_unique<DataSource>(QStringLiteral("ds"));
        ds->setDatabaseName(path);
        ds->setRecordSource(rs);
        if (open) ds->refresh();
        return ds;
    }
    static QString current(const DataSource& ds) { return ds.field(0).toString(); }

private slots:
    void init()
    {
        // One of the desk's own file names, so that a salon server holds it when one is set.
        const QString sub = QStringLiteral("s%1").arg(QDateTime::currentMSecsSinceEpoch());
        QVERIFY(QDir(dir.path()).mkpath(sub));
        path = dir.filePath(sub + QStringLiteral("/Salonya.Mdb"));
        QString err;
        QVERIFY(db = Database::open(path, true, &err));
        QVERIFY(db->exec(QStringLiteral("DROP TABLE IF EXISTS T"), &err));
        QVERIFY(db->exec(QStringLiteral("CREATE TABLE T (Ad TEXT COLLATE TR, Fiyat CURRENCY, Tarih DATE, Boya BOOLEAN, Yeni INTEGER)"), &err));
        QVERIFY(db->exec(QStringLiteral("INSERT INTO T VALUES ('Fön',100,'2026-12-05',0,1),('Kesim',250,'2026-12-05',0,1),"
                                        "('Boya 6.0',120,'2026-12-04',1,0),('Maşa',80,'2026-12-05',0,1)"), &err));
    }
    void cleanup() { db.reset(); }

    void findsAndMoves()
    {
        auto ds = source(QStringLiteral("Select * From T Order By Ad Asc"));
        // A failed find keeps the position; one that cannot run is an error, never "no match".
        QVERIFY(ds->findFirst(QStringLiteral("Ad='kesim'")) && !ds->noMatch());
        QVERIFY(!ds->findFirst(QStringLiteral("Ad='Perma'")) && ds->noMatch());
        QVERIFY(!ds->findFirst(QStringLiteral("Yok='x'")) && !ds->noMatch() && !ds->lastError().isEmpty());
        QCOMPARE(current(*ds), QStringLiteral("Kesim"));
        // The first match in the source's order, whatever order the matches have in the table.
        auto desc = source(QStringLiteral("Select * From T Order By Ad Desc"));
        QVERIFY(desc->findFirst(QStringLiteral("Yeni=1")) && current(*desc) == QStringLiteral("Maşa"));
        // A find only sees the rows the record source selected.
        QVERIFY(!source(QStringLiteral("Select * From T Where Yeni=1"))->findFirst(QStringLiteral("Ad='Boya 6.0'")));
        QStringList seen;
        for (ds->moveFirst(); !ds->eof(); ds->moveNext()) seen << ds->field(QStringLiteral("ad")).toString();
        QCOMPARE(seen.join(u','), QStringLiteral("Boya 6.0,Fön,Kesim,Maşa"));
        QVERIFY(!ds->bof() && ds->moveLast() && ds->movePrevious());
        QCOMPARE(current(*ds), QStringLiteral("Kesim"));
        // A deleted record is gone; nothing is current until the caller moves off it.
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Fön'")) && ds->deleteRecord());
        QVERIFY(ds->recordCount() == 3 && !ds->field(0).isValid() && ds->moveNext());
        QCOMPARE(current(*ds), QStringLiteral("Kesim"));
        QVERIFY(ds->moveLast() && ds->deleteRecord());
        ds->moveNext();
        QVERIFY(ds->eof() && ds->movePrevious());
        QCOMPARE(current(*ds), QStringLiteral("Kesim"));
        // An empty record source is at both ends and has nothing to read or edit.
        auto none = source(QStringLiteral("Select * From T Where Ad='yok'"), false);
        QVERIFY(Data::refreshRoutine(none.get()));
        QVERIFY(none->recordCount() == 0 && none->bof() && none->eof() && !none->field(0).isValid());
        QVERIFY(!none->moveNext() && !none->edit());
        // A missing file is an error, and reading never creates it.
        path = dir.filePath(QStringLiteral("yok.mdb"));
        auto missing = source(QStringLiteral("T"), false);
        QVERIFY(!Data::refreshRoutine(missing.get()) && !missing->isOpen() && missing->recordCount() == 0);
        QVERIFY(!QFile::exists(path));
    }

    // Add, edit and delete, with the notifications in order and a model following the rows.
    void addEditDelete()
    {
        auto ds = source(QStringLiteral("T"), false);
        RecordListModel m(ds.get(), QStringLiteral("Ad"));
        QVERIFY(ds->refresh());
        QVERIFY(m.rowCount() == 4 && m.text(1) == QStringLiteral("Kesim"));
        QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
        QStringList events;
        connect(ds.get(), &DataSource::beforeUpdate, this, [&](int a) { events << QString::number(a); });
        connect(ds.get(), &DataSource::reposition, this, [&] { events << QStringLiteral("r"); });
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Kesim'")) && ds->addNew());
        QVERIFY(ds->setField(0, QStringLiteral("Perma")) && ds->setField(1, 35.0 / 100.0 * 120.0) // rounds like Currency
                && ds->setField(2, QDate(2026, 12, 6)) && ds->setField(3, true) && ds->update());
        QVERIFY(inserted.count() == 1 && m.rowCount() == 5);
        // After the add the record that was current before is current again.
        QCOMPARE(current(*ds), QStringLiteral("Kesim"));
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Perma'")));
        QCOMPARE(QVariantList({ds->field(1).toDouble(), ds->field(2).toDate(), ds->field(3).toBool()}), QVariantList({42.0, QDate(2026, 12, 6), true}));
        // An edit writes its own row only.
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Maşa'")) && ds->edit() && ds->setField(QStringLiteral("Yeni"), 0) && ds->update());
        QCOMPARE(ds->field(QStringLiteral("Yeni")).toInt(), 0);
        QCOMPARE(source(QStringLiteral("Select * From T Where Yeni=1"))->recordCount(), 2);
        QVERIFY(ds->deleteRecord());
        QCOMPARE(events.join(u' '), QStringLiteral("8 r 5 6 8 r 8 r 6 7"));
    }

    // A record source run after a write, or narrowing a list read before, gives what a fresh read of the
    // file gives, in the same order, however the write came.
    void requeryAfterWrite_data()
    {
        QTest::addColumn<QString>("write"); QTest::addColumn<QString>("then"); QTest::addColumn<int>("count");
        QTest::addColumn<bool>("reset"); // a grid over the source starts over; else it is told the row that came or went
        const QString all = QStringLiteral("Select * From T Where Yeni=1 Order By Ad Asc");
        const QString al = QStringLiteral("Select * From T Where Ad Like 'Al*' And Yeni=1 Order By Ad ");
        QTest::newRow("added through the source") << "source" << all << 312 << false;
        QTest::newRow("added through another source") << "other" << all << 312 << false;
        QTest::newRow("added by another connection") << "connection" << all << 312 << false;
        QTest::newRow("added and rolled back") << "rollback" << all << 311 << false;
        QTest::newRow("table made anew, empty") << "schema" << all << 0 << true;
        QTest::newRow("renamed, moves up") << "rename" << all << 311 << true;
        QTest::newRow("renamed through another source") << "other rename" << all << 311 << true;
        QTest::newRow("renamed by another connection") << "connection rename" << all << 311 << true;
        QTest::newRow("deleted") << "delete" << all << 310 << false;
        QTest::newRow("added, then searched") << "source" << "Select * From T Where Ad Like 'z*' And Yeni=1 Order By Ad ASC" << 1 << true;
        QTest::newRow("renamed, then searched") << "rename" << "Select * From T Where Ad Like 'Kart 1*' And Yeni=1 Order By Ad Asc" << 110 << true;
        QTest::newRow("the other way round") << "" << "Select * From T Where Yeni=1 Order By Ad DESC" << 311 << true;
        QTest::newRow("â sorts as a, Like tells it apart") << "" << al + "Asc" << 4 << true;
        QTest::newRow("searched the other way round") << "" << al + "Desc" << 4 << true;
        QTest::newRow("wildcard after the head") << "" << "Select * From T Where Ad Like 'K?rt 1*' And Yeni=1 Order By Ad Asc" << 111 << true;
        QTest::newRow("quote in the search") << "" << "Select * From T Where Ad Like 'D''A*' And Yeni=1 Order By Ad Asc" << 1 << true;
        QTest::newRow("Or widens the search") << "Or" << "Select * From T Where Ad Like 'Al*' And Yeni=1 Or Ad='Fön' Order By Ad Asc" << 5 << true;
    }
    void requeryAfterWrite()
    {
        QFETCH(QString, write); QFETCH(QString, then); QFETCH(int, count); QFETCH(bool, reset);
        QString err;
        QVERIFY(db->exec(QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<300)"
                                        " INSERT INTO T (Ad, Yeni) SELECT 'Kart '||x, 1 FROM n"), &err));
        // Texts equal in the order, a look-alike letter, a quote, and values that are no texts.
        QVERIFY(db->exec(QStringLiteral("INSERT INTO T (Ad, Yeni) VALUES ('ali',1),('Âli',1),('Ali',1),('Alı',1),('Alp',1),"
                                        "('D''Ali',1),(NULL,1),(7,1)"), &err));
        auto ds = source(QStringLiteral("Select * From T Where Yeni=1 Order By Ad Asc"));
        QVERIFY(ds->refresh() && ds->recordCount() == 311);
        RecordTableModel grid(ds.get(), {{QStringLiteral("Ad"), QStringLiteral("Ad")}});
        QSignalSpy resets(&grid, &QAbstractItemModel::modelReset), changed(&grid, &QAbstractItemModel::dataChanged);
        auto add = [&](DataSource& to) { return to.addNew() && to.setField(0, QStringLiteral("Zeki")) && to.setField(4, 1) && to.update(); };
        if (write == u"source") QVERIFY(add(*ds));
        if (write == u"other") QVERIFY(add(*source(ds->recordSource())));
        for (int r = 0; r < 311; ++r) ds->value(r, 0); // read, as a grid shows them
        const bool rename = write.endsWith(u"rename");
        const QString sql = rename ? QStringLiteral("UPDATE %1 SET Ad='Ahu' WHERE Ad||''='Kart 150'") : QStringLiteral("INSERT INTO %1 (Ad, Yeni) VALUES ('Zeki', 1)");
        if (write.startsWith(u"connection") && db->onServer()) {
            QVERIFY(OtherDesk(QStringLiteral("Salonya.Mdb")).exec(sql.arg(u"salonya.t")));
        } else if (write.startsWith(u"connection")) {
            sqlite3* h = nullptr;
            QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
            const int rc = sqlite3_exec(h, sql.arg(u"T").toUtf8().constData(), nullptr, nullptr, nullptr);
            sqlite3_close(h);
            QCOMPARE(rc, SQLITE_OK);
        }
        if (write == u"other rename") QVERIFY(db->exec(sql.arg(u"T"), &err));
        if (write == u"rollback") {
            Transaction tx(db.get());
            QVERIFY(add(*ds) && ds->refresh() && ds->recordCount() == 312);
        }
        if (write == u"schema")
            QVERIFY(db->exec(QStringLiteral("DROP TABLE T"), &err)
                    && db->exec(QStringLiteral("CREATE TABLE T (Ad TEXT COLLATE TR, Fiyat CURRENCY, Tarih DATE, Boya BOOLEAN, Yeni INTEGER)"), &err));
        if (write == u"rename")
            QVERIFY(ds->findFirst(QStringLiteral("Ad='Kart 150'")) && ds->edit() && ds->setField(0, QStringLiteral("Ahu")) && ds->update());
        if (write == u"Or") {
            ds->setRecordSource(QStringLiteral("Select * From T Where Yeni=1 Or Ad='Fön' Order By Ad Asc"));
            QVERIFY(ds->refresh());
        }
        if (write == u"delete") QVERIFY(ds->findFirst(QStringLiteral("Ad='Ali'")) && ds->deleteRecord());
        ds->setRecordSource(then);
        QVERIFY(ds->refresh());
        auto fresh = source(then);
        QCOMPARE(ds->recordCount(), count);
        // Rows that sort alike may come in either order.
        QList<qint64> got, want;
        for (int r = 0; r < count; ++r) {
            QVERIFY2(Turkish::compare(ds->value(r, 0).toString(), fresh->value(r, 0).toString()) == 0, qPrintable(ds->value(r, 0).toString()));
            got << ds->rowId(r);
            want << fresh->rowId(r);
        }
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        QCOMPARE(got, want);
        QCOMPARE(grid.rowCount(), count);
        for (int r = 0; r < count; ++r) QCOMPARE(grid.text(r, 0), ds->value(r, 0).toString());
        // A server gives rows that sort alike in any order, so its grid may start over.
        if (db->onServer()) return;
        QCOMPARE(!resets.isEmpty(), reset);
        if (!reset) QCOMPARE(changed.last().at(1).toModelIndex().row(), count - 1); // the rows it kept are read anew
    }

    // On a salon server another desk's write reaches a follower within two seconds; its own do not.
    void otherDesksWrites()
    {
        if (!db->onServer()) QSKIP("an embedded file has this desk as its only writer");
        QString err;
        QVERIFY2(Schema::ensureOwnDatabases(QFileInfo(path).absolutePath(), &err), qPrintable(err));
        int seen = 0;
        db->follow(QStringLiteral("salonya"), [&] { ++seen; });
        QVERIFY(db->run(QStringLiteral("INSERT INTO Salonya (Islem, Yeni) VALUES ('Fön', 1)")).finish());
        QTest::qWait(700);
        QCOMPARE(seen, 0);
        QVERIFY(OtherDesk(QStringLiteral("Salonya.Mdb")).exec(QStringLiteral("INSERT INTO salonya.salonya (islem, yeni) VALUES ('Kesim', 1)")));
        QTRY_COMPARE_WITH_TIMEOUT(seen, 1, 2000);
    }

    // A connection the server dropped: the write is refused in words, never retried blind, and the next finds the server.
    void serverConnectionLost()
    {
        if (!db->onServer()) QSKIP("an embedded file has no connection to lose");
        auto ds = source(QStringLiteral("T"));
        const auto cut = [] { QVERIFY(OtherDesk(QStringLiteral("Salonya.Mdb")).cutOthers()); };
        cut();
        QVERIFY(ds->addNew() && ds->setField(0, QStringLiteral("Y")) && !ds->update());
        QVERIFY2(ds->lastError().contains(QStringLiteral("Sunucu bağlantısı koptu")), qPrintable(ds->lastError()));
        // A transaction begun on the cut line is a real one on the new connection: its rollback takes its write.
        {
            Transaction tx(db.get());
            QVERIFY(tx.active() && ds->addNew() && ds->setField(0, QStringLiteral("Z")) && ds->update());
        }
        QVERIFY(ds->addNew() && ds->setField(0, QStringLiteral("Y")) && ds->update());
        QVERIFY(ds->refresh() && ds->recordCount() == 5);
        // A line cut inside a transaction: nothing more of it is written on the new connection, and it commits nothing.
        Transaction tx(db.get());
        QVERIFY(tx.active() && ds->addNew() && ds->setField(0, QStringLiteral("Z")) && ds->update());
        cut();
        QVERIFY(!ds->refresh());
        QVERIFY(!(ds->addNew() && ds->setField(0, QStringLiteral("Z")) && ds->update()));
        QString error;
        QVERIFY(!tx.commit(&error) && error.contains(QStringLiteral("Sunucu bağlantısı koptu")));
        QVERIFY(ds->refresh() && ds->recordCount() == 5);
    }

    void failedSaveCancelsEdit()
    {
        auto ds = source(QStringLiteral("T"));
        QVERIFY(db->exec(db->onServer()
                ? QStringLiteral("CREATE OR REPLACE FUNCTION nope() RETURNS trigger AS $$BEGIN RAISE EXCEPTION 'disk dolu'; END$$ LANGUAGE plpgsql;"
                                 " CREATE TRIGGER nope BEFORE INSERT ON T FOR EACH ROW EXECUTE FUNCTION nope()")
                : QStringLiteral("CREATE TRIGGER nope BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT, 'disk dolu'); END"), nullptr));
        QSignalSpy failed(ds.get(), &DataSource::failed);
        bool saving = true;
        connect(ds.get(), &DataSource::beforeUpdate, this, [&](int a) { if (a == DataSource::ActionUpdate) saving = false; });
        QVERIFY(ds->addNew() && ds->setField(0, QStringLiteral("Y")) && !ds->update());
        QVERIFY(Data::waitForSave(saving, 200)); // the wait ends although the save failed
        QVERIFY(ds->editMode() == DataSource::EditMode::None && ds->recordCount() == 4 && failed.count() == 1);
        QVERIFY(ds->lastError().contains(QStringLiteral("disk dolu")));
        // A transaction outlives the data source's close: its rollback needs the connection (AddressSanitizer sees the opposite).
        db.reset();
        {
            Transaction tx(ds->database());
            QVERIFY(tx.active());
            ds->close();
        }
        QVERIFY(ds->refresh() && ds->recordCount() == 4);
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
