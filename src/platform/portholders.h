#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>

// A process that has a device open.
struct PortHolder {
    qint64 pid = 0;
    QString program; // its short name as the system keeps it (at most 15 characters); may be empty

    bool operator==(const PortHolder &) const = default;
};

// What a search for the holders of a device found.
struct PortHolderSearch {
    enum class Outcome {
        Found,     // these processes hold it
        NoneFound, // every process was looked at and none holds it
        Unknown,   // none found, but some processes could not be looked at (other users')
    };

    QList<PortHolder> holders; // ordered by process id
    bool complete = false;     // every process could be looked at

    Outcome outcome() const {
        if (!holders.isEmpty()) {
            return Outcome::Found;
        }
        return complete ? Outcome::NoneFound : Outcome::Unknown;
    }
};

// Finds the processes that hold a device open by reading the links <proc>/<pid>/fd/* of every
// process, and names each by <proc>/<pid>/comm. The system shows another user's links only to
// the superuser, so an ordinary user often learns only about their own programs. The search reads
// only the proc folder, which never waits on a device; it takes a few milliseconds.
//
// A device is one device under every name: an open of another device file of it (one made with
// mknod) holds it as well. The far end of a pseudo-terminal (the process holding its master side,
// such as a simulated controller, which keeps the device side open itself so that the line stays
// raw while nobody uses it) is the other end of the line, not a holder, unless it holds the
// device's lock as this program does.
class PortHolders {
public:
    static constexpr QLatin1String DefaultProcFolder{"/proc"};

    explicit PortHolders(QString procFolder = DefaultProcFolder);

    // The device may be given by a link (a by-id name): its holders have the device itself open.
    // ownDescriptor, when not -1, is an open of the device by this process that does not count
    // (the lock the program takes before it looks).
    PortHolderSearch find(const QString &device, int ownDescriptor = -1) const;

private:
    QString m_procFolder;
};

// The sentence that follows "... wird bereits von einem anderen Programm benutzt." when no holder
// was found: on Linux that it could not be found out (another user's program, whose files the
// system does not show), on Windows that the system does not say (it names no holder of a port).
QString UnknownHolderSentence();
