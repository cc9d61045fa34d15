#pragma once

#include <QString>
#include <optional>

// A port on the network instead of a serial device: "tcp://HOST:PORT" passes the bytes as they
// are, "rfc2217://HOST:PORT" speaks Telnet with the Com Port Control option, which also sets the
// far line's baud rate and format. HOST is a name, an IPv4 address or an IPv6 address in
// brackets.
struct NetAddress {
    enum class Protocol { Raw, Rfc2217 };

    Protocol protocol = Protocol::Raw;
    QString host; // without the brackets of an IPv6 address
    quint16 port = 0;

    // Nothing for a name that is no network port or is written wrongly.
    static std::optional<NetAddress> Parse(const QString &name);
    // The same from the fields of a form: the host with or without the brackets of an IPv6
    // address, blanks around it ignored; nothing when a field is not usable.
    static std::optional<NetAddress> FromParts(Protocol protocol, const QString &host, int port);
    // Starts with one of the network schemes (written wrongly or not): such a name is never a
    // device path.
    static bool IsNetworkName(const QString &name);
    // "tcp://pi:4001", "rfc2217://[::1]:2217".
    QString text() const;

    bool operator==(const NetAddress &) const = default;
};
