#include "comm/netaddress.h"

namespace {
const QString RawScheme = QStringLiteral("tcp://");
const QString TelnetScheme = QStringLiteral("rfc2217://");

bool ValidHostName(const QString &host) {
    if (host.isEmpty() || host.size() > 253) {
        return false;
    }
    for (const QChar c : host) {
        if (!(c.isLetterOrNumber() || c == u'-' || c == u'.' || c == u'_')) {
            return false;
        }
    }
    return true;
}

bool ValidIpv6(const QString &host) {
    // A zone after "%" names an interface ("fe80::1%eth0").
    const qsizetype zone = host.indexOf(u'%');
    const QString address = zone < 0 ? host : host.left(zone);
    if (address.count(u':') < 2 || (zone >= 0 && zone + 1 == host.size())) {
        return false;
    }
    for (const QChar c : address) {
        const bool hex = (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
        if (!(hex || c == u':' || c == u'.')) {
            return false;
        }
    }
    for (const QChar c : host.mid(address.size() + 1)) {
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.')) {
            return false;
        }
    }
    return true;
}
} // namespace

bool NetAddress::IsNetworkName(const QString &name) {
    return name.startsWith(RawScheme, Qt::CaseInsensitive) ||
           name.startsWith(TelnetScheme, Qt::CaseInsensitive);
}

std::optional<NetAddress> NetAddress::Parse(const QString &name) {
    NetAddress a;
    QString rest;
    if (name.startsWith(RawScheme, Qt::CaseInsensitive)) {
        a.protocol = Protocol::Raw;
        rest = name.mid(RawScheme.size());
    } else if (name.startsWith(TelnetScheme, Qt::CaseInsensitive)) {
        a.protocol = Protocol::Rfc2217;
        rest = name.mid(TelnetScheme.size());
    } else {
        return std::nullopt;
    }
    const qsizetype colon = rest.lastIndexOf(u':');
    if (colon < 0) {
        return std::nullopt;
    }
    QString host = rest.left(colon);
    const QString portText = rest.mid(colon + 1);
    if (host.startsWith(u'[')) {
        if (!host.endsWith(u']')) {
            return std::nullopt;
        }
        host = host.mid(1, host.size() - 2);
        if (!ValidIpv6(host)) {
            return std::nullopt;
        }
    } else if (!ValidHostName(host)) {
        return std::nullopt; // an IPv6 address needs its brackets, so that the port is clear
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || portText.startsWith(u'+')) {
        return std::nullopt;
    }
    a.host = host;
    a.port = static_cast<quint16>(port);
    return a;
}

std::optional<NetAddress> NetAddress::FromParts(Protocol protocol, const QString &host, int port) {
    QString bare = host.trimmed();
    if (bare.startsWith(u'[') && bare.endsWith(u']')) {
        bare = bare.mid(1, bare.size() - 2);
    }
    const bool usable = bare.contains(u':') ? ValidIpv6(bare) : ValidHostName(bare);
    if (!usable || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return NetAddress{protocol, bare, static_cast<quint16>(port)};
}

QString NetAddress::text() const {
    const QString scheme = protocol == Protocol::Raw ? RawScheme : TelnetScheme;
    const QString shownHost = host.contains(u':') ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1%2:%3").arg(scheme, shownHost).arg(port);
}
