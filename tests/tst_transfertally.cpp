// How many of the cells a read transfer asked for got an answer, and when that is reported.

#include "comm/answerfilter.h"
#include "comm/pacedtransfer.h"
#include "comm/sharedstate.h"
#include "comm/transfertally.h"
#include "fixtures/testutil.h"

#include <QTest>

using namespace TestUtil;

class TestTransferTally : public QObject {
    Q_OBJECT
private slots:
    void tallyCountsAnswersNotFlags() {
        SharedState s;
        qint64 now = 0;
        s.setClock([&] { return now; });
        TransferTally t;
        t.NoteRequest(s.pit, 1); // before Begin: no transfer is counting
        QCOMPARE(t.requested(), 0);
        t.Begin();
        for (int cell : {48, 49, 50}) {
            s.answers.NoteRequest(AnswerFilter::Board::Grube, cell, now);
            t.NoteRequest(s.pit, cell);
        }
        s.answers.NoteRequest(AnswerFilter::Board::Buehne, 13, now);
        t.NoteRequest(s.bridge, 13);
        Answer(s, 'G', 48, 24);
        Answer(s, 'H', 13, 46);
        // A tab that shows a value clears its received flag: the answer still counts.
        s.pit.setReceived(48, false);
        Answer(s, 'G', 77, 1); // nobody asked: dropped, and no cell of the transfer anyway
        QCOMPARE(t.answered(), 2);
        t.End(now);
        QCOMPARE(t.Poll(now + 1000), QString()); // two cells may still answer
        Answer(s, 'G', 49, 7);
        QCOMPARE(t.Poll(now + 1500), QString());
        QCOMPARE(t.Poll(now + TransferTally::GraceMs),
                 QStringLiteral("3 von 4 Zellen beantwortet"));
        QCOMPARE(t.Poll(now + 5000), QString()); // reported once
    }

    // A read at fixed pacing counts its requests: once every cell answered, its report comes at
    // once, without waiting.
    void aReadAtFixedPacingReportsItsAnswers() {
        SharedState s;
        qint64 now = 0;
        s.setClock([&] { return now; });
        PacedTransfer transfer(s);
        const auto reads = [](int entry) {
            PacedTransfer::Step step;
            step.kind = PacedTransfer::Step::Kind::Read;
            step.cell = entry;
            return step;
        };
        QVERIFY(
            transfer.Toggle(PacedTransfer::Plan::Fixed(PacedTransfer::Mode::Read, 1, {}, reads)));
        QVERIFY(transfer.Tick().step);
        s.answers.NoteRequest(AnswerFilter::Board::Grube, 0, now);
        QVERIFY(transfer.Tick().ended);
        QVERIFY(!s.TakeTransferReport()); // the answer is still due
        Answer(s, 'G', 0, 3);
        QCOMPARE(s.TakeTransferReport()->line, QStringLiteral("1 von 1 Zelle beantwortet"));
    }
};

QTEST_GUILESS_MAIN(TestTransferTally)
#include "tst_transfertally.moc"
