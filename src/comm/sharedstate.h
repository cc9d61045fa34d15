#pragma once

#include "comm/boardmirrors.h"
#include "comm/connection.h"
#include "comm/directdrive.h"
#include "comm/linetraffic.h"
#include "comm/stationstate.h"

#include <QString>
#include <functional>
#include <vector>

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

// A part that holds changes made on the PC that no board has yet (the parameter tab's cells, the
// address rows): the settings file collects them from every part registered.
class UnwrittenSource {
public:
    virtual void AddUnwritten(UnwrittenChanges &changes) const = 0;

protected:
    ~UnwrittenSource() = default;
};

// Everything the session shares with the tabs, by what it holds: the line's traffic, both board
// mirrors, the station, the connection's state to read, the direct drive and the changes not yet
// written. Plain data on the user-interface thread; the tabs never see the port. A part that
// needs only one of them takes that one.
class SharedState : public LineTraffic, public BoardMirrors, public StationState {
public:
    // The session's connection; without one (a state of its own, as plain tests make it), a
    // connection that stays offline.
    explicit SharedState(const Connection *connection = nullptr)
        : m_connection(connection ? connection : &m_offline) {}
    SharedState(const SharedState &) = delete;
    SharedState &operator=(const SharedState &) = delete;

    const Connection &connection() const { return *m_connection; }

    // The direct drive of the bridge motor (diagnosis tab); its stop must reach the board when
    // the program lets go of the line.
    DirectDrive directDrive;

    // Whether the latest report of a kind can be believed now: connected, the line not silent,
    // and the report heard since the connection was opened (the table is reset at Start). Before
    // that the table holds 0xFF, which must not be shown as a state.
    bool StatusKnown() const { return !connection().silent() && Heard(InfoTable::Status); }
    bool ErrorsKnown() const { return !connection().silent() && Heard(InfoTable::Error); }
    bool MeasureKnown() const { return !connection().silent() && Heard(InfoTable::Measure); }
    // Connected and the entry heard since Start, whether or not the line has gone silent since.
    bool Heard(int index) const;

    // Bytes from the board: cut into messages, and every answer that the stream confirms (see
    // Receiver) and that was asked for (see AnswerFilter) goes to the transfer that asked, or into
    // the mirror. Others are dropped and counted.
    Receiver::Result Receive(const QByteArray &bytes);

    // Copies the positions of the last "L" (bytes 0xFF are ignored, and so are positions the
    // turntable does not have). Only while online.
    void TakePositions();

    // The changes not yet written: every part that holds such changes registers for its life,
    // and the settings file collects them all. What the settings file brought waits in
    // unwrittenFromFile until each part takes its own share at its next refresh.
    void AddUnwrittenSource(const UnwrittenSource *source);
    void RemoveUnwrittenSource(const UnwrittenSource *source);
    UnwrittenChanges CollectUnwritten() const;
    UnwrittenChanges unwrittenFromFile;

private:
    std::vector<const UnwrittenSource *> m_unwrittenSources;
    Connection m_offline;
    const Connection *m_connection;
};
