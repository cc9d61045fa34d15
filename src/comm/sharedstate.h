#pragma once

#include "comm/answerfilter.h"
#include "comm/boardimage.h"
#include "comm/directdrive.h"
#include "comm/receiver.h"
#include "comm/requestline.h"
#include "comm/sendqueue.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

// Station data: which of the 48 positions are in use, their names and how the picture is drawn.
struct StationData {
    static constexpr int MaxPositions = 48;
    static constexpr float DefaultRSense = 15.0f;

    // A sense resistor the current can be computed with: finite and above zero.
    static bool IsUsableRSense(float ohm);

    StationData() { SetDefaults(); }
    void SetDefaults();

    // Index 1..48; index 0 is unused.
    std::array<bool, MaxPositions + 1> PositionUsed{};
    std::array<QString, MaxPositions + 1> PositionName{};
    int ZeroOffset = 0;
    bool ReverseCounting = true;
    bool ShowSwitchLine = true;
    bool UseMotorola = true;
    float RSense = DefaultRSense;
};

// How the transfers of the tabs are paced (settings "Feste_Taktung", "Schreiben_pruefen",
// "Antwort_Timeout"), and how fast the transmit tick puts bytes on the line ("Interval_Senden").
struct TransferSettings {
    static constexpr int DefaultAnswerTimeoutMs = 300;
    bool fixedPacing = false; // one request per tick of the tabs' timers, as first specified
    bool verifyWrites = true; // every written cell is read back (paced by the answers only)
    int answerTimeoutMs = DefaultAnswerTimeoutMs;
    int byteIntervalMs = 20;

    // Transfers paced by the answers; writes of those that verify what they wrote.
    bool byAnswer() const { return !fixedPacing; }
    bool verifying() const { return !fixedPacing && verifyWrites; }
};

// Changes made on the PC that no board has yet, as the settings file keeps them across a restart:
// the parameter tab's cells still to be written (their values are in the mirrors) and the address
// rows still to be written with the values the PC holds for them.
struct UnwrittenChanges {
    struct AddressRow {
        int row = 0;
        int address = 0;
        bool green = true;
        int position = -1; // the row's position number; -1 for the function rows
    };
    std::vector<int> pitCells;
    std::vector<int> bridgeCells;
    std::vector<AddressRow> addressRows;
};

// Everything the main window shares with its tabs: the transmit queue, the receiver with its
// InfoTable, both board mirrors, the station data, the positions and the flags. Plain data on the
// user-interface thread; the tabs never see the port.
class SharedState {
public:
    SharedState();

    SendQueue sendQueue;
    Receiver receiver;
    InfoTable &infoTable() { return receiver.table(); }

    BoardImage pit{Board::Grube};
    BoardImage bridge{Board::Buehne};
    BoardImage &image(Board board) { return board == Board::Grube ? pit : bridge; }
    const BoardImage &image(Board board) const { return board == Board::Grube ? pit : bridge; }
    StationData station;
    // Which "G"/"H" answers are expected: fed by the transmit tick with every request sent.
    AnswerFilter answers;
    // The one request of the tabs' transfers that is on its way.
    RequestLine line;
    TransferSettings transferSettings;
    // Milliseconds of a steady clock; tests may replace it.
    std::function<qint64()> clock;

    int ActualPosition = 1;
    int TargetPosition = 1;
    int DigitalTarget = -1; // -1 until the first "L"
    int PositionCount = 48;

    bool Online = false;
    bool Turning = false;
    bool RedrawRequest = false;
    bool ShowExternalTarget = false; // held by the operation tab's check box

    // The direct drive of the bridge motor (diagnosis tab); its stop must reach the board when
    // the program lets go of the line.
    DirectDrive directDrive;

    bool ParametersLoaded = false;
    bool AddressesLoaded = false;
    // Nothing has arrived from the pit board for a while although connected (see LinkHealth).
    bool LinkSilent = false;

    // Whether the latest report of a kind can be believed now: connected, the line not silent,
    // and the report heard since the connection was opened (the table is reset at Start). Before
    // that the table holds 0xFF, which must not be shown as a state.
    bool StatusKnown() const { return !LinkSilent && Heard(InfoTable::Status); }
    bool ErrorsKnown() const { return !LinkSilent && Heard(InfoTable::Error); }
    bool MeasureKnown() const { return !LinkSilent && Heard(InfoTable::Measure); }
    // Connected and the entry heard since Start, whether or not the line has gone silent since.
    bool Heard(int index) const;

    // The tabs' transfers: they hear of the requests on the wire and of the answers.
    void RegisterClient(LineClient *client);
    void UnregisterClient(LineClient *client);
    // The report of a transfer that has just ended, if any (the latest one wins): the status
    // bar's line and the cells that failed.
    using TransferReport = LineClient::Report;
    std::optional<TransferReport> TakeTransferReport();
    // A tab's own line for the status bar (what an edit did); it is shown like a transfer's
    // report, and a later one replaces it, as does a transfer's report taken with it.
    void PostStatus(const QString &line) { m_status = line; }

    // Bytes from the board: cut into messages, and every answer that the stream confirms (see
    // Receiver) and that was asked for (see AnswerFilter) goes to the transfer that asked, or into
    // the mirror. Others are dropped and counted.
    Receiver::Result Receive(const QByteArray &bytes);
    // The last byte of a message left the transmit queue, on the wire or drained while offline.
    void NoteSent(const Framing::Asks &asks, bool onWire);
    // A transfer lets go of the line; the others waiting for it may go on.
    void FreeLine(LineClient *owner);
    // The line went away: every transfer paced by the answers ends, saying it was interrupted
    // and how far it got. It is not resumed by itself.
    void InterruptTransfers();

    // Copies the positions of the last "L" (bytes 0xFF are ignored, and so are positions the
    // turntable does not have). Only while online.
    void TakePositions();

    qint64 now() const { return clock(); }

    // The changes not yet written: every part that holds such changes gives a source (keyed by
    // itself; an empty source removes it), and the settings file collects them all. What the
    // settings file brought waits in unwrittenFromFile until each part takes its own share at
    // its next refresh.
    using UnwrittenSource = std::function<void(UnwrittenChanges &)>;
    void SetUnwrittenSource(const void *owner, UnwrittenSource source);
    UnwrittenChanges CollectUnwritten() const;
    UnwrittenChanges unwrittenFromFile;

private:
    std::vector<LineClient *> m_clients;
    std::vector<std::pair<const void *, UnwrittenSource>> m_unwrittenSources;
    std::optional<QString> m_status;
};
