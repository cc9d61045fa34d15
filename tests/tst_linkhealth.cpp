// Whether the pit board still talks: the silence a connection is allowed, told once, and the
// return of the bytes.

#include "comm/linkhealth.h"

#include <QTest>

class TestLinkHealth : public QObject {
    Q_OBJECT
private slots:
    void linkHealthTellsSilenceAndReturn() {
        LinkHealth h;
        QCOMPARE(h.Check(100000), LinkHealth::Change::None); // not connected: not watched
        h.Start(1000);
        QCOMPARE(h.Check(2999), LinkHealth::Change::None); // the board gets its time
        QCOMPARE(h.Check(3000), LinkHealth::Change::WentSilent);
        QVERIFY(h.silent());
        QCOMPARE(h.Check(5000), LinkHealth::Change::None); // told once
        h.NoteBytes(5100);
        QCOMPARE(h.Check(5100), LinkHealth::Change::CameBack);
        QCOMPARE(h.Check(6000), LinkHealth::Change::None);
        h.NoteBytes(6500); // bytes keep it alive
        QCOMPARE(h.Check(8000), LinkHealth::Change::None);
        QCOMPARE(h.Check(8500), LinkHealth::Change::WentSilent);
        h.Stop();
        QVERIFY(!h.silent());
        QCOMPARE(h.Check(20000), LinkHealth::Change::None);
        h.Start(30000); // a new connection starts fresh
        QVERIFY(!h.silent());
        QCOMPARE(h.Check(31000), LinkHealth::Change::None);
    }
};

QTEST_GUILESS_MAIN(TestLinkHealth)
#include "tst_linkhealth.moc"
