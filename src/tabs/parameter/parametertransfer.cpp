#include "parametertransfer.h"

#include "messages.h"
#include "parametermodel.h"
#include "sendqueue.h"
#include "sharedstate.h"

namespace Parameter {

void ParameterTransfer::Toggle(int entryCount) {
    TransferPosition = Running(entryCount) ? Stopping : 0;
}

void ParameterTransfer::StartRead(int entryCount) {
    m_interval = ReadIntervalMs;
    ReadMode = true;
    Toggle(entryCount);
}

void ParameterTransfer::StartWrite(int entryCount) {
    m_interval = WriteIntervalMs;
    WriteMode = true;
    Toggle(entryCount);
}

ParameterTransfer::Step ParameterTransfer::Tick(ParameterModel &model, SendQueue &queue) {
    const int entries = model.entryCount();
    if (!ReadMode && !WriteMode) {
        return {true, 0};
    }
    if (WriteMode && !ReadMode) {
        m_interval = WriteIntervalMs;
    }
    if (TransferPosition >= entries) {
        // Both modes end together, so that a cancelled transfer leaves nothing behind for the
        // next one.
        ReadMode = false;
        WriteMode = false;
        model.state().parameterTally.End(model.state().now());
        return {true, 0};
    }
    if (queue.length() >= 2) {
        // Other traffic is still going out: try again at the next tick.
        return {false, TransferPosition};
    }
    const int entry = TransferPosition;
    const int ref = EntryCell(entry);
    const int cell = CellOf(ref);
    if (ReadMode) {
        queue.QueueValue(IsPit(ref) ? Msg::ReadPitCell : Msg::ReadBridgeCell, cell);
        model.state().parameterTally.NoteRequest(ImageOf(model.state(), ref), cell);
        model.MarkEntry(entry, Mark::Blue);
    } else if (model.EntryChanged(entry)) {
        const int value = ImageOf(model.state(), ref).value(cell);
        queue.QueueValuePair(IsPit(ref) ? Msg::WritePitCell : Msg::WriteBridgeCell, cell, value);
        model.MarkEntry(entry, Mark::White);
    } else {
        m_interval = SkipIntervalMs;
    }
    ++TransferPosition;
    return {false, TransferPosition};
}

} // namespace Parameter
