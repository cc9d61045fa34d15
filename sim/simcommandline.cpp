#include "sim/simcommandline.h"

#include <QCommandLineParser>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

QString Message(const QString &option, const QString &value, const QString &accepted) {
    return QStringLiteral("--%1 %2: %3").arg(option, value, accepted);
}

// A time in seconds as whole milliseconds; nullopt outside 0..MaxSeconds (and for NaN).
std::optional<int> Milliseconds(const QString &text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0.0 || seconds > SimLimits::MaxSeconds) {
        return std::nullopt;
    }
    const double ms = std::round(seconds * 1000.0);
    if (ms > double(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(ms);
}

// Whole milliseconds 0..MaxMilliseconds.
std::optional<int> WholeMilliseconds(const QString &text) {
    bool ok = false;
    const qlonglong ms = text.toLongLong(&ok);
    if (!ok || ms < 0 || ms > SimLimits::MaxMilliseconds) {
        return std::nullopt;
    }
    return static_cast<int>(ms);
}

std::optional<double> Probability(const QString &text) {
    bool ok = false;
    const double p = text.toDouble(&ok);
    if (!ok || !(p >= 0.0 && p <= 1.0)) { // also rejects NaN
        return std::nullopt;
    }
    return p;
}

// One or two hexadecimal digits, optionally with 0x in front.
std::optional<uint8_t> HexByte(QString text) {
    text = text.trimmed();
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        text.remove(0, 2);
    }
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok || text.size() > 2 || value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}
} // namespace

SimCommandLineResult ParseSimCommandLine(const QStringList &arguments) {
    SimCommandLineResult result;
    SimCommandLine &s = result.settings;

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated turntable controller (pit board with bridge board) on a pseudo-terminal.\n"
        "Prints the device path as the first line of standard output; point a COM port of\n"
        "Pivota at it (settings file, section [Ports], for example COM3=/tmp/turntable)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Create a symbolic link <path> to the device."),
                                  QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace the output at this line rate, 300..4000000 "
                                                 "(default 19200)."),
                                  QStringLiteral("n"), QStringLiteral("19200"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of every random choice, 0..4294967295 "
                                                 "(default 1)."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption drop(QStringLiteral("drop"),
                                  QStringLiteral("Drop each sent byte with probability p (0..1)."),
                                  QStringLiteral("p"), QStringLiteral("0"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"),
                                     QStringLiteral("Flip a bit of each sent byte with "
                                                    "probability p (0..1)."),
                                     QStringLiteral("p"), QStringLiteral("0"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Send nothing at all (a dead controller)."));
    const QCommandLineOption hangUp(QStringLiteral("hang-up-after"),
                                    QStringLiteral("Hang up the line after this many seconds "
                                                   "(0..2147483.647)."),
                                    QStringLiteral("seconds"));
    const QCommandLineOption eeprom(
        QStringLiteral("eeprom"),
        QStringLiteral("Load both EEPROMs from <file> at start and save them there at exit."),
        QStringLiteral("file"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Log every byte both ways in hex on standard "
                                                  "error."));
    const QCommandLineOption blocked(QStringLiteral("blocked"),
                                     QStringLiteral("The bridge is jammed and cannot turn."));
    const QCommandLineOption errors(QStringLiteral("errors"),
                                    QStringLiteral("Report these error bits, as pit,bridge in "
                                                   "hex (for example 01,02)."),
                                    QStringLiteral("pit,bridge"));
    const QCommandLineOption dip(QStringLiteral("dip"),
                                 QStringLiteral("DIP switch bits in hex: 04 DIP1, 08 DIP2, 10 "
                                                "DIP3."),
                                 QStringLiteral("bits"), QStringLiteral("0"));
    const QCommandLineOption stray(QStringLiteral("stray-burst-at"),
                                   QStringLiteral("Send a burst of stray bytes after this many "
                                                  "seconds (0..2147483.647)."),
                                   QStringLiteral("seconds"));
    const SimOptions defaults;
    auto delayOption = [](const char *name, const QString &what, int byDefault) {
        return QCommandLineOption(QString::fromLatin1(name),
                                  QStringLiteral("%1, 0..%2 (default %3).")
                                      .arg(what)
                                      .arg(SimLimits::MaxMilliseconds)
                                      .arg(byDefault),
                                  QStringLiteral("ms"));
    };
    const QCommandLineOption pitDelay = delayOption(
        "pit-delay", QStringLiteral("Answer a read of a pit cell after this many milliseconds"),
        defaults.pitDelayMs);
    const QCommandLineOption bridgeDelay =
        delayOption("bridge-delay",
                    QStringLiteral("Relay bridge-cell requests one at a time, each in this "
                                   "many milliseconds"),
                    defaults.bridgeDelayMs);
    const QCommandLineOption writeTime =
        delayOption("write-time",
                    QStringLiteral("Ignore every cell request to a board for this many "
                                   "milliseconds after it wrote its EEPROM"),
                    defaults.writeTimeMs);
    parser.addOptions({link, baud, seed, drop, corrupt, silent, hangUp, eeprom, trace, blocked,
                       errors, dip, stray, pitDelay, bridgeDelay, writeTime});

    auto fail = [&](const QString &text) {
        result.status = SimCommandLineResult::Status::Error;
        result.error = text;
        return result;
    };

    if (!parser.parse(arguments)) {
        return fail(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(QStringLiteral("unexpected argument: %1")
                        .arg(parser.positionalArguments().constFirst()));
    }
    if (parser.isSet(help)) {
        result.status = SimCommandLineResult::Status::Help;
        result.helpText = parser.helpText();
        return result;
    }

    bool ok = false;
    s.options.seed = parser.value(seed).toUInt(&ok);
    if (!ok) {
        return fail(Message(QStringLiteral("seed"), parser.value(seed),
                            QStringLiteral("a whole number 0..4294967295")));
    }
    const qlonglong rate = parser.value(baud).toLongLong(&ok);
    if (!ok || rate < SimLimits::MinLineRate || rate > SimLimits::MaxLineRate) {
        return fail(Message(QStringLiteral("baud"), parser.value(baud),
                            QStringLiteral("a line rate %1..%2")
                                .arg(SimLimits::MinLineRate)
                                .arg(SimLimits::MaxLineRate)));
    }
    s.lineRate = static_cast<int>(rate);

    const QString probability = QStringLiteral("a probability 0..1");
    const auto dropP = Probability(parser.value(drop));
    if (!dropP) {
        return fail(Message(QStringLiteral("drop"), parser.value(drop), probability));
    }
    s.options.dropProbability = *dropP;
    const auto corruptP = Probability(parser.value(corrupt));
    if (!corruptP) {
        return fail(Message(QStringLiteral("corrupt"), parser.value(corrupt), probability));
    }
    s.options.corruptProbability = *corruptP;

    const QString seconds = QStringLiteral("seconds 0..2147483.647");
    if (parser.isSet(hangUp)) {
        const auto ms = Milliseconds(parser.value(hangUp));
        if (!ms) {
            return fail(Message(QStringLiteral("hang-up-after"), parser.value(hangUp), seconds));
        }
        s.options.hangUpAfterMs = *ms;
    }
    if (parser.isSet(stray)) {
        const auto ms = Milliseconds(parser.value(stray));
        if (!ms) {
            return fail(Message(QStringLiteral("stray-burst-at"), parser.value(stray), seconds));
        }
        s.options.strayBurstAtMs = *ms;
    }

    const QString milliseconds =
        QStringLiteral("whole milliseconds 0..%1").arg(SimLimits::MaxMilliseconds);
    const std::pair<const QCommandLineOption *, int *> delays[] = {
        {&pitDelay, &s.options.pitDelayMs},
        {&bridgeDelay, &s.options.bridgeDelayMs},
        {&writeTime, &s.options.writeTimeMs},
    };
    for (const auto &[option, target] : delays) {
        if (parser.isSet(*option)) {
            const auto ms = WholeMilliseconds(parser.value(*option));
            if (!ms) {
                return fail(
                    Message(option->names().constFirst(), parser.value(*option), milliseconds));
            }
            *target = *ms;
        }
    }

    const auto dipBits = HexByte(parser.value(dip));
    if (!dipBits || (*dipBits & ~SimLimits::DipBits) != 0) {
        return fail(Message(QStringLiteral("dip"), parser.value(dip),
                            QStringLiteral("hex bits 04 (DIP1), 08 (DIP2), 10 (DIP3) or a sum "
                                           "of them")));
    }
    s.options.dipSwitches = *dipBits;

    if (parser.isSet(errors)) {
        const QStringList parts = parser.value(errors).split(u',');
        const auto pit = HexByte(parts.value(0));
        const auto bridge = HexByte(parts.value(1));
        if (parts.size() != 2 || !pit || !bridge) {
            return fail(Message(QStringLiteral("errors"), parser.value(errors),
                                QStringLiteral("two hex bytes 00..ff as pit,bridge")));
        }
        s.options.pitErrors = *pit;
        s.options.bridgeErrors = *bridge;
    }

    s.options.silent = parser.isSet(silent);
    s.options.blocked = parser.isSet(blocked);
    s.link = parser.value(link);
    s.eepromFile = parser.value(eeprom);
    s.trace = parser.isSet(trace);
    return result;
}
