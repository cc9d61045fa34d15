// A whole-controller backup, compare and restore against pivota-sim on a pseudo-terminal (on
// Windows the simulator behind a loopback TCP port), the link driven without a window: with a noisy
// line the backup holds exactly the simulator's cells or names the cells it could not confirm,
// compare finds exactly the cells changed behind the program's back, restore writes exactly those,
// and a damaged backup sends nothing.

#include "core/backup/backupjob.h"
#include "core/session/session.h"
#include "core/settings/inifile.h"
#include "fixtures/rununtil.h"
#include "fixtures/simprocess.h"
#include "fixtures/testutil.h"
#include "net/networkports.h"
#include "sim/simport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

namespace {
using Cells = std::array<std::array<int, 256>, 2>; // [0] pit, [1] bridge

// Cells unlike the boards' defaults, so that every cell says whether it was read.
Cells Pattern(int seed) {
    Cells cells{};
    for (int cell = 0; cell < 256; ++cell) {
        cells[0][static_cast<size_t>(cell)] = (cell * 7 + seed) & 0xFF;
        cells[1][static_cast<size_t>(cell)] = (cell * 13 + 3 * seed + 1) & 0xFF;
    }
    return cells;
}

bool WriteSimEeprom(const QString &path, const Cells &cells) {
    QByteArray text;
    for (int b = 0; b < 2; ++b) {
        for (int cell = 0; cell < 256; ++cell) {
            text += QStringLiteral("%1 %2 %3\n")
                        .arg(QLatin1Char(b == 0 ? 'P' : 'B'))
                        .arg(cell, 2, 16, QLatin1Char('0'))
                        .arg(cells[size_t(b)][size_t(cell)], 2, 16, QLatin1Char('0'))
                        .toLatin1();
        }
    }
    return TestUtil::WriteFile(path, text);
}

Cells ReadSimEeprom(const QString &path) {
    Cells cells{};
    for (auto &board : cells) {
        board.fill(-1);
    }
    const QList<QByteArray> lines = TestUtil::ReadFile(path).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3) {
            cells[parts[0] == "P" ? 0 : 1][size_t(parts[1].toInt(nullptr, 16))] =
                parts[2].toInt(nullptr, 16);
        }
    }
    return cells;
}

// The session to the simulator and the job, as the command line runs them.
struct SessionRun {
    explicit SessionRun(const QString &device) {
        state.transferSettings.answerTimeoutMs = 60;
        session.setTiming({1, 1, 64});
        session.setDeviceFactory(WithNetworkPorts(DevicesWithSimulator()));
        QSignalSpy failed(&session, &Session::startFailed);
        QString configureError;
        // A bridge on the network is online once it answered the call.
        opened = session.Start({device, 19200, false}, &reason, &configureError) &&
                 TestUtil::RunUntil(
                     [this] { return session.connectionState() != Connection::State::Connecting; },
                     10000) &&
                 session.online();
        if (!failed.isEmpty()) {
            reason = failed.last().at(0).toString();
        }
        QObject::connect(&session.link(), &Link::byteSent, [this](uint8_t) { ++bytesSent; });
    }

    // Runs the action to its end; the result.
    BackupJob::Result Run(BackupJob::Action action, const QString &file) {
        QSignalSpy done(&job, &BackupJob::finished);
        if (!job.Start(action, file)) {
            return job.result();
        }
        if (!TestUtil::RunUntil([&] { return done.count() > 0; }, 100000)) {
            return BackupJob::Result::Stopped; // never ended: fails every caller's check
        }
        return job.result();
    }

    Session session;
    SharedState &state = session.state();
    BackupJob job{session.state()};
    QString reason;
    bool opened = false;
    int bytesSent = 0;
};

// Quick boards on a quick line: the runs' rules do not depend on the boards' pace.
const QStringList FastBoards = {"--pit-delay", "1", "--bridge-delay", "3", "--baud", "115200"};

// A backup of the cells as the backup command writes it.
bool SaveBackupOf(const QString &path, const Cells &cells, const SharedState &state) {
    Backup::Image image;
    for (int cell = 0; cell < 256; ++cell) {
        image.pit[size_t(cell)] = Backup::Cell::Of(cells[0][size_t(cell)]);
        image.bridge[size_t(cell)] = Backup::Cell::Of(cells[1][size_t(cell)]);
    }
    return Backup::SaveBackup(path, ProgramSettings(), state, image,
                              {QDateTime::currentDateTime(), "0.38"}, nullptr);
}
} // namespace

class TestBackupRun : public QObject {
    Q_OBJECT
private slots:
    void noisyBackupHoldsTheSimulatorsCellsOrNamesThem() {
        QTemporaryDir dir;
        const QString simFile = dir.filePath("sim.txt");
        const Cells cells = Pattern(1);
        QVERIFY(WriteSimEeprom(simFile, cells));
        SimProcess sim;
        // A lost byte puts the stream out of step until the next marker, a second later at most:
        // a few of them are enough to show that the backup gets through.
        QVERIFY(sim.start(FastBoards + QStringList{"--eeprom", simFile, "--drop", "0.001",
                                                   "--corrupt", "0.005", "--seed", "7"}));
        const QString device = sim.portName();
        const QString backup = dir.filePath("backup.pvt");
        int unconfirmed = 0;
        {
            SessionRun s(device);
            QVERIFY2(s.opened, qPrintable(s.reason));
            // The quick boards answer within a few milliseconds: a request the noise lost is
            // given up soon. An answer that comes later still is one the engine must not believe.
            s.state.transferSettings.answerTimeoutMs = 30;
            const BackupJob::Result result = s.Run(BackupJob::Action::Backup, backup);
            QVERIFY2(result == BackupJob::Result::Equal || result == BackupJob::Result::Differences,
                     qPrintable(s.job.lines().join('\n')));
            // What was read landed in the mirrors as after any read.
            for (int cell = 0; cell < 256; ++cell) {
                if (s.job.lines().filter(QStringLiteral("Grube %1 (").arg(cell)).isEmpty()) {
                    QVERIFY2(int(s.state.pit.value(cell)) == cells[0][size_t(cell)],
                             qPrintable(QString::number(cell)));
                    QVERIFY(s.state.pit.received(cell));
                }
            }
            unconfirmed = static_cast<int>(s.job.lines().size()) - 1;
            QCOMPARE(result == BackupJob::Result::Equal, unconfirmed == 0);
        }
        sim.stop();
        QCOMPARE(ReadSimEeprom(simFile), cells); // the simulator saw only reads

        Backup::FileContents contents;
        QString error;
        QVERIFY2(Backup::ReadFile(backup, &contents, &error), qPrintable(error));
        QVERIFY(contents.backup);
        int named = 0;
        for (int b = 0; b < 2; ++b) {
            const Board board = b == 0 ? Board::Grube : Board::Buehne;
            for (int cell = 0; cell < 256; ++cell) {
                const Backup::Cell &c = contents.image.of(board)[size_t(cell)];
                if (c.known()) {
                    QCOMPARE(int(c.value), cells[size_t(b)][size_t(cell)]); // never a wrong value
                } else {
                    QCOMPARE(c.state, Backup::Cell::State::Unconfirmed);
                    ++named;
                }
            }
        }
        QCOMPARE(named, unconfirmed);
        // The retries got nearly all; what they did not get is named, never guessed.
        QVERIFY2(named < 64, qPrintable(QString::number(named)));
    }

    void compareFindsTheChangesAndRestoreWritesExactlyThose() {
        QTemporaryDir dir;
        const QString simFile = dir.filePath("sim.txt");
        const QString backup = dir.filePath("backup.pvt");
        const Cells cells = Pattern(2);
        {
            // A backup of these cells (the backup over the line is the noisy test's).
            SharedState state;
            QVERIFY(SaveBackupOf(backup, cells, state));
        }

        // Behind the program's back: cells of both boards change, the pit board's firmware too.
        Cells changed = cells;
        const QList<std::pair<int, int>> edits = {{0, 0},  {0, 5},   {0, 56}, {0, 200},
                                                  {1, 1},  {1, 33},  {1, 99}, {1, 255},
                                                  {0, 48}, {0, 239}, {1, 127}};
        for (const auto &[b, cell] : edits) {
            changed[size_t(b)][size_t(cell)] ^= 0x5A;
        }
        QVERIFY(WriteSimEeprom(simFile, changed));
        SimProcess sim;
        QVERIFY(sim.start(FastBoards + QStringList{"--eeprom", simFile}));
        {
            SessionRun s(sim.portName());
            QVERIFY2(s.opened, qPrintable(s.reason));
            const BackupJob::Result compared = s.Run(BackupJob::Action::Compare, backup);
            QVERIFY2(compared == BackupJob::Result::Differences,
                     qPrintable(s.job.lines().join('\n')));
            const auto &differences = s.job.differences();
            QVERIFY2(int(differences.size()) == edits.size(), qPrintable(s.job.lines().join('\n')));
            for (const Backup::Difference &d : differences) {
                const int b = d.board == Board::Grube ? 0 : 1;
                QVERIFY(edits.contains({b, d.cell}));
                QCOMPARE(int(d.file.value), cells[size_t(b)][size_t(d.cell)]);
                QCOMPARE(int(d.onBoard.value), changed[size_t(b)][size_t(d.cell)]);
            }
            QCOMPARE(s.job.lines().constLast(),
                     QStringLiteral("Grube: 6 Unterschiede, Bühne: 5 Unterschiede"));

            // Declined after a while: the run waits for the answer with the line going on (the
            // housekeeping tick runs), and nothing is written.
            QString asked;
            int ticksAtQuestion = -1;
            int ticksAtAnswer = -1;
            s.job.ownerAsk = [&](const QString &question) {
                asked = question;
                ticksAtQuestion = s.session.driver().housekeepingRuns();
                QTimer::singleShot(3 * LinkDriver::HousekeepingMs, &s.job, [&] {
                    ticksAtAnswer = s.session.driver().housekeepingRuns();
                    QVERIFY(s.job.awaitingAnswer());
                    s.job.Answer(false);
                });
            };
            QCOMPARE(s.Run(BackupJob::Action::Restore, backup), BackupJob::Result::Differences);
            QVERIFY2(asked.contains(QStringLiteral("5 Zellen der Grube und 4 Zellen der Bühne")),
                     qPrintable(asked));
            QVERIFY(ticksAtAnswer > ticksAtQuestion);
            QVERIFY(!s.job.awaitingAnswer());

            // The firmware cells are never written, so the controller still differs from the
            // file, and the run says so.
            s.job.ownerAsk = [&](const QString &) { s.job.Answer(true); };
            QCOMPARE(s.Run(BackupJob::Action::Restore, backup), BackupJob::Result::Differences);
            QCOMPARE(s.job.total(), 9);
            const QStringList lines = s.job.lines();
            QVERIFY(lines.at(lines.size() - 2)
                        .startsWith(QStringLiteral("Wiederhergestellt: 9 Zellen")));
            QVERIFY2(lines.constLast().contains(QStringLiteral("Firmware-Version")),
                     qPrintable(lines.join('\n')));
        }
        // Afterwards the boards hold the file again, but for the firmware version.
        sim.stop();
        Cells expected = cells;
        expected[0][0] = changed[0][0];
        expected[1][127] = changed[1][127];
        QCOMPARE(ReadSimEeprom(simFile), expected);
    }

    void damagedBackupIsRefusedAndNothingSent() {
        QTemporaryDir dir;
        SimProcess sim;
        QVERIFY(sim.start(FastBoards));
        SessionRun s(sim.portName());
        QVERIFY2(s.opened, qPrintable(s.reason));
        Backup::Image image;
        for (int cell = 0; cell < 256; ++cell) {
            image.pit[size_t(cell)] = Backup::Cell::Of(cell);
        }
        const QString path = dir.filePath("b.pvt");
        QVERIFY(Backup::SaveBackup(path, ProgramSettings(), s.state, image,
                                   {QDateTime::currentDateTime(), "0.38"}, nullptr));
        QByteArray bytes = TestUtil::ReadFile(path);
        bytes.replace("data_20_grube=20", "data_20_grube=21");
        QVERIFY(TestUtil::WriteFile(path, bytes));
        for (BackupJob::Action action : {BackupJob::Action::Compare, BackupJob::Action::Restore}) {
            QCOMPARE(s.Run(action, path), BackupJob::Result::FileError);
            QVERIFY(s.job.lines().join(' ').contains(QStringLiteral("Prüfsumme")));
        }
        // A backup into a folder that does not exist is refused before the boards are read.
        QCOMPARE(s.Run(BackupJob::Action::Backup, dir.filePath("none/b.pvt")),
                 BackupJob::Result::FileError);
        QVERIFY(s.job.lines().join(' ').contains(QStringLiteral("kann nicht geschrieben")));
        QVERIFY(TestUtil::WriteFile(path, "[SETTINGS]\nCOM-Port=2\n"));
        QCOMPARE(s.Run(BackupJob::Action::Restore, path), BackupJob::Result::FileError);
        QVERIFY(s.job.lines().join(' ').contains(QStringLiteral("keine Zellen")));
        QVERIFY(!TestUtil::RunUntil([&] { return s.bytesSent > 0; }, 300));
        QVERIFY(s.state.sendQueue.isEmpty());
    }

    void lostLineEndsTheBackupWithoutAFile() {
        QTemporaryDir dir;
        SimProcess sim;
        QVERIFY(sim.start(FastBoards + QStringList{"--hang-up-after", "1"}));
        SessionRun s(sim.portName());
        QVERIFY2(s.opened, qPrintable(s.reason));
        const QString path = dir.filePath("b.pvt");
        QCOMPARE(s.Run(BackupJob::Action::Backup, path), BackupJob::Result::LineFailed);
        QVERIFY(!QFile::exists(path));
        QVERIFY(s.job.lines().contains(QStringLiteral("Keine Datei geschrieben.")));
    }

    void silentControllerIsALineFailure() {
        QTemporaryDir dir;
        SimProcess sim;
        QVERIFY(sim.start({"--silent"}));
        SessionRun s(sim.portName());
        QVERIFY2(s.opened, qPrintable(s.reason));
        QVERIFY(TestUtil::WriteFile(dir.filePath("c.pvt"), "[EE_GRUBE]\ndata_3_grube=1\n"));
        QCOMPARE(s.Run(BackupJob::Action::Compare, dir.filePath("c.pvt")),
                 BackupJob::Result::LineFailed);
        QVERIFY(s.job.lines().constFirst().contains(QStringLiteral("antwortet nicht")));
    }
};

QTEST_GUILESS_MAIN(TestBackupRun)
#include "tst_backuprun.moc"
