#pragma once

#include <QObject>

class Session;

// The connection to the controller as everyone but its owner sees it: one state, read-only, and a
// signal when it changes. The session alone sets it; the tabs, the transfers and the shared
// state read it.
class Connection : public QObject {
    Q_OBJECT
public:
    enum class State {
        Offline,    // never started, or stopped
        Connecting, // the port is being opened (a device that takes time to answer the open)
        Online,     // the port is open and the board talks
        Silent,     // the port is open, but the board has said nothing for a while
        Lost,       // the line failed; the port is closed, the failure reported once
        Waiting,    // the line failed and the adapter is awaited to come back
    };
    Q_ENUM(State)

    explicit Connection(QObject *parent = nullptr) : QObject(parent) {}
    // A connection that stays in one state, for a reader of the line that runs without a session
    // (the receiver's fuzz target).
    explicit Connection(State state, QObject *parent = nullptr) : QObject(parent), m_state(state) {}

    State state() const { return m_state; }
    // Bytes go on the wire: the port is open and not being closed.
    bool online() const { return m_state == State::Online || m_state == State::Silent; }
    // Open, but nothing has come from the pit board for a while: its reports are old.
    bool silent() const { return m_state == State::Silent; }

signals:
    void changed(Connection::State state);

private:
    friend class Session;
    // True when it changed.
    bool set(State state) {
        if (state == m_state) {
            return false;
        }
        m_state = state;
        emit changed(state);
        return true;
    }

    State m_state = State::Offline;
};
