// The data source's dynaset semantics: finds, moves, BOF/EOF, add/edit/delete, notifications,
// failed saves, the refresh routine and the models reading rows on demand.
#include "data/database.h"
#include "data/datasource.h"
#include "data/recordmodels.h"
#include "data/refresh.h"

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

    std::unique_ptr<DataSource> source(const QString& rs)
    {
        auto ds = std::make_unique<DataSource>(QStringLiteral("ds"));
        ds->setDatabaseName(path);
        ds->setRecordSource(rs);
        return ds;
    }

private slots:
    void init()
    {
        path = dir.filePath(QStringLiteral("s%1.db").arg(QDateTime::currentMSecsSinceEpoch()));
        QString err;
        db = Database::open(path, true, &err);
        QVERIFY(db);
        QVERIFY(db->exec(QStringLiteral("CREATE TABLE T (Ad TEXT COLLATE TR, Fiyat CURRENCY, Tarih DATE, Boya BOOLEAN, Yeni INTEGER)"), &err));
        QVERIFY(db->exec(QStringLiteral("INSERT INTO T VALUES ('Fön',100,'2026-12-05',0,1),('Kesim',250,'2026-12-05',0,1),"
                                        "('Boya 6.0',120,'2026-12-04',1,0),('Maşa',80,'2026-12-05',0,1)"), &err));
    }
    void cleanup() { db.reset(); }

    void emptySourceIsBofAndEof()
    {
        auto ds = source(QStringLiteral("Select * From T Where Ad='yok'"));
        QVERIFY(Data::refreshRoutine(ds.get()));
        QCOMPARE(ds->recordCount(), 0);
        QVERIFY(ds->bof());
        QVERIFY(ds->eof());
        QVERIFY(!ds->field(0).isValid());
        QVERIFY(!ds->moveNext());
        QVERIFY(!ds->edit());
    }

    void failedFindKeepsPosition()
    {
        auto ds = source(QStringLiteral("Select * From T Order By Ad Asc"));
        QVERIFY(Data::refreshRoutine(ds.get()));
        QCOMPARE(ds->recordCount(), 4);
        QVERIFY(ds->findFirst(QStringLiteral("Ad='kesim'")));
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
        QVERIFY(!ds->noMatch());
        QVERIFY(!ds->findFirst(QStringLiteral("Ad='Perma'")));
        QVERIFY(ds->noMatch());
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
        // A find that cannot run is an error, never "no match".
        QVERIFY(!ds->findFirst(QStringLiteral("Yok='x'")));
        QVERIFY(!ds->noMatch());
        QVERIFY(!ds->lastError().isEmpty());
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
        // A find only sees the rows the record source selected.
        auto open = source(QStringLiteral("Select * From T Where Yeni=1"));
        QVERIFY(open->refresh());
        QVERIFY(!open->findFirst(QStringLiteral("Ad='Boya 6.0'")));
    }

    void movesAndEnds()
    {
        auto ds = source(QStringLiteral("Select * From T Order By Ad Asc"));
        QVERIFY(ds->refresh());
        QStringList seen;
        for (ds->moveFirst(); !ds->eof(); ds->moveNext()) seen << ds->field(QStringLiteral("ad")).toString();
        QCOMPARE(seen, (QStringList{QStringLiteral("Boya 6.0"), QStringLiteral("Fön"), QStringLiteral("Kesim"), QStringLiteral("Maşa")}));
        QVERIFY(ds->eof());
        QVERIFY(!ds->bof());
        QVERIFY(ds->moveLast());
        QVERIFY(ds->movePrevious());
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
    }

    void addReturnsToPreviousRecord()
    {
        auto ds = source(QStringLiteral("T"));
        QVERIFY(ds->refresh());
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Kesim'")));
        QVERIFY(ds->addNew());
        QVERIFY(ds->setField(0, QStringLiteral("Perma")));
        QVERIFY(ds->setField(1, 35.0 / 100.0 * 120.0)); // rounds like a Currency field
        QVERIFY(ds->setField(2, QDate(2026, 12, 6)));
        QVERIFY(ds->setField(3, true));
        QVERIFY(ds->update());
        QCOMPARE(ds->recordCount(), 5);
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Perma'")));
        QCOMPARE(ds->field(1).toDouble(), 42.0);
        QCOMPARE(ds->field(2).toDate(), QDate(2026, 12, 6));
        QCOMPARE(ds->field(3).toBool(), true);
        QCOMPARE(db->exec(QStringLiteral("SELECT 1"), nullptr), true);
        QCOMPARE(AccountingCount(), 5);
    }

    void editWritesOnlyItsRow()
    {
        auto ds = source(QStringLiteral("Select * From T Where Yeni=1 Order By Ad"));
        QVERIFY(ds->refresh());
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Maşa'")));
        QVERIFY(ds->edit());
        QVERIFY(ds->setField(QStringLiteral("Yeni"), 0));
        QVERIFY(ds->update());
        QCOMPARE(ds->field(QStringLiteral("Yeni")).toInt(), 0);
        auto check = source(QStringLiteral("Select * From T Where Yeni=1"));
        QVERIFY(check->refresh());
        QCOMPARE(check->recordCount(), 2);
    }

    void deleteAndMoveOff()
    {
        auto ds = source(QStringLiteral("Select * From T Order By Ad Asc"));
        QVERIFY(ds->refresh());
        QVERIFY(ds->findFirst(QStringLiteral("Ad='Fön'")));
        QVERIFY(ds->deleteRecord());
        QCOMPARE(ds->recordCount(), 3);
        QVERIFY(!ds->field(0).isValid()); // nothing is current until the caller moves
        QVERIFY(ds->moveNext());
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
        QVERIFY(ds->moveLast());
        QVERIFY(ds->deleteRecord());
        ds->moveNext();
        QVERIFY(ds->eof());
        QVERIFY(ds->movePrevious());
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Kesim"));
    }

    void notificationsInOrder()
    {
        auto ds = source(QStringLiteral("T"));
        QVERIFY(ds->refresh());
        QStringList events;
        connect(ds.get(), &DataSource::beforeUpdate, this, [&](int a) { events << QStringLiteral("before %1").arg(a); });
        connect(ds.get(), &DataSource::reposition, this, [&] { events << QStringLiteral("reposition"); });
        ds->moveNext();
        ds->addNew();
        ds->setField(0, QStringLiteral("X"));
        ds->update();
        ds->findFirst(QStringLiteral("Ad='X'"));
        ds->deleteRecord();
        QCOMPARE(events, (QStringList{QStringLiteral("before 3"), QStringLiteral("reposition"), QStringLiteral("before 5"),
                                      QStringLiteral("before 6"), QStringLiteral("before 8"), QStringLiteral("reposition"),
                                      QStringLiteral("before 7")}));
    }

    void failedSaveCancelsEdit()
    {
        auto ds = source(QStringLiteral("T"));
        QVERIFY(ds->refresh());
        QString err;
        QVERIFY(db->exec(QStringLiteral("CREATE TRIGGER nope BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT, 'disk dolu'); END"), &err));
        QSignalSpy failed(ds.get(), &DataSource::failed);
        bool saving = true;
        connect(ds.get(), &DataSource::beforeUpdate, this, [&](int a) { if (a == DataSource::ActionUpdate) saving = false; });
        QVERIFY(ds->addNew());
        ds->setField(0, QStringLiteral("Y"));
        QVERIFY(!ds->update());
        QVERIFY(Data::waitForSave(saving, 200)); // the wait ends although the save failed
        QCOMPARE(ds->editMode(), DataSource::EditMode::None);
        QCOMPARE(ds->recordCount(), 4);
        QCOMPARE(failed.count(), 1);
        QVERIFY(ds->lastError().contains(QStringLiteral("disk dolu")));
    }

    void missingFileIsAnError()
    {
        DataSource ds(QStringLiteral("x"));
        ds.setDatabaseName(dir.filePath(QStringLiteral("yok.mdb")));
        ds.setRecordSource(QStringLiteral("T"));
        QVERIFY(!Data::refreshRoutine(&ds));
        QVERIFY(!ds.isOpen());
        QCOMPARE(ds.recordCount(), 0);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("yok.mdb")))); // never created by reading
    }

    void modelFollowsSource()
    {
        auto ds = source(QStringLiteral("Select * From T Order By Ad Asc"));
        RecordListModel m(ds.get(), QStringLiteral("Ad"));
        QVERIFY(ds->refresh());
        QCOMPARE(m.rowCount(), 4);
        QCOMPARE(m.text(1), QStringLiteral("Fön"));
        QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
        ds->addNew();
        ds->setField(0, QStringLiteral("Zil"));
        ds->update();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(m.rowCount(), 5);
        RecordTableModel t(ds.get(), {{QStringLiteral("Fiyat"), QStringLiteral("Fiyat"), QStringLiteral("Standard")},
                                      {QStringLiteral("Ad/Gr"), QStringLiteral("Fiyat"), QStringLiteral("General Number")}});
        ds->refresh();
        QCOMPARE(t.text(2, 0), QStringLiteral("250,00"));
        QCOMPARE(t.text(2, 1), QStringLiteral("250"));
    }

private:
    int AccountingCount()
    {
        sqlite3_stmt* st = db->prepare(QStringLiteral("SELECT count(*) FROM T"), nullptr);
        sqlite3_step(st);
        const int n = sqlite3_column_int(st, 0);
        sqlite3_reset(st);
        return n;
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
