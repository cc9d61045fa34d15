#pragma once

// A pseudo-terminal for tests: the program opens the device side as its serial port, the test
// plays the far end on the master side.

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class Pty {
public:
    Pty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            closeMaster();
            return;
        }
        const char *name = ptsname(m_master);
        m_device = name ? QString::fromLocal8Bit(name) : QString();
        termios t{};
        if (tcgetattr(m_master, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(m_master, TCSANOW, &t);
        }
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0 && !m_device.isEmpty(); }
    QString device() const { return m_device; }

    bool send(const QByteArray &bytes) {
        return ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
               bytes.size();
    }
    // Everything the program has written so far.
    QByteArray receive() {
        QByteArray all;
        char buf[256];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            all.append(buf, n);
        }
        return all;
    }
    void closeMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    QString m_device;
};
