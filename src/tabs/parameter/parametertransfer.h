#pragma once

class SendQueue;

namespace Parameter {

class ParameterModel;

// The paced read and write transfers of the parameter tab, one entry per tick of its timer. The
// boards' answers share one slot per board in the received-message table, so only one request is
// in flight at a time: a tick that finds the transmit queue backed up waits for the next tick.
class ParameterTransfer {
public:
    static constexpr int Idle = 1000;    // no transfer since construction
    static constexpr int Stopping = 500; // a second click ends the running transfer
    static constexpr int ReadIntervalMs = 300;
    static constexpr int WriteIntervalMs = 500;
    static constexpr int SkipIntervalMs = 50; // an unchanged row is passed quickly

    int TransferPosition = Idle;
    bool ReadMode = false;
    bool WriteMode = false;

    bool Running(int entryCount) const { return TransferPosition < entryCount; }
    int interval() const { return m_interval; }

    // A click on "Werte einlesen" or "Werte schreiben": starts a transfer, or ends the running one
    // (of either kind) at the next tick.
    void StartRead(int entryCount);
    void StartWrite(int entryCount);

    struct Step {
        bool ended = false;
        int progress = 0;
    };
    // One tick: queues the next entry's request, marks it, and moves on; or ends the transfer.
    Step Tick(ParameterModel &model, SendQueue &queue);

private:
    void Toggle(int entryCount);
    int m_interval = ReadIntervalMs;
};

} // namespace Parameter
