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

QCommandLineOption DelayOption(const char *name, const QString &what, int byDefault) {
    return QCommandLineOption(QString::fromLatin1(name),
                              QStringLiteral("%1, 0..%2 (default %3).")
                                  .arg(what)
                                  .arg(SimLimits::MaxMilliseconds)
                                  .arg(byDefault),
                              QStringLiteral("ms"));
}

// The simulator's options, in the order its help lists them.
struct Options {
    SimOptions defaults;
    QCommandLineOption link{QStringLiteral("link"),
                            QStringLiteral("Create a symbolic link <path> to the device."),
                            QStringLiteral("path")};
    QCommandLineOption baud{QStringLiteral("baud"),
                            QStringLiteral("Pace the output at this line rate, 300..4000000 "
                                           "(default 19200)."),
                            QStringLiteral("n"), QStringLiteral("19200")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Seed of every random choice, 0..4294967295 "
                                           "(default 1)."),
                            QStringLiteral("n"), QStringLiteral("1")};
    QCommandLineOption drop{QStringLiteral("drop"),
                            QStringLiteral("Drop each sent byte with probability p (0..1)."),
                            QStringLiteral("p"), QStringLiteral("0")};
    QCommandLineOption corrupt{QStringLiteral("corrupt"),
                               QStringLiteral("Flip a bit of each sent byte with "
                                              "probability p (0..1)."),
                               QStringLiteral("p"), QStringLiteral("0")};
    QCommandLineOption flipAnswer{
        QStringLiteral("flip-answer"),
        QStringLiteral(
            "Flip these bits of the value of the first answer to a read of the cell, "
            "as board,cell,bits with board P or B and cell and bits in hex (for "
            "example P,0a,01); given more than once, each flips the next answer of its cell."),
        QStringLiteral("board,cell,bits")};
    QCommandLineOption silent{QStringLiteral("silent"),
                              QStringLiteral("Send nothing at all (a dead controller).")};
    QCommandLineOption hangUp{QStringLiteral("hang-up-after"),
                              QStringLiteral("Hang up the line after this many seconds "
                                             "(0..2147483.647)."),
                              QStringLiteral("seconds")};
    QCommandLineOption eeprom{
        QStringLiteral("eeprom"),
        QStringLiteral("Load both EEPROMs from <file> at start and save them there at exit."),
        QStringLiteral("file")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Log every byte both ways in hex on standard "
                                            "error.")};
    QCommandLineOption blocked{QStringLiteral("blocked"),
                               QStringLiteral("The bridge is jammed and cannot turn.")};
    QCommandLineOption errors{QStringLiteral("errors"),
                              QStringLiteral("Report these error bits, as pit,bridge in "
                                             "hex (for example 01,02)."),
                              QStringLiteral("pit,bridge")};
    QCommandLineOption dip{QStringLiteral("dip"),
                           QStringLiteral("DIP switch bits in hex: 04 DIP1, 08 DIP2, 10 "
                                          "DIP3."),
                           QStringLiteral("bits"), QStringLiteral("0")};
    QCommandLineOption stray{QStringLiteral("stray-burst-at"),
                             QStringLiteral("Send a burst of stray bytes after this many "
                                            "seconds (0..2147483.647)."),
                             QStringLiteral("seconds")};
    QCommandLineOption pitDelay = DelayOption(
        "pit-delay", QStringLiteral("Answer a read of a pit cell after this many milliseconds"),
        defaults.pitDelayMs);
    QCommandLineOption bridgeDelay =
        DelayOption("bridge-delay",
                    QStringLiteral("Relay bridge-cell requests one at a time, each in this "
                                   "many milliseconds"),
                    defaults.bridgeDelayMs);
    QCommandLineOption writeTime =
        DelayOption("write-time",
                    QStringLiteral("Ignore every cell request to a board for this many "
                                   "milliseconds after it wrote its EEPROM"),
                    defaults.writeTimeMs);

    QList<QCommandLineOption> all() const {
        return {link,  baud,    seed,   drop, corrupt, flipAnswer, silent,      hangUp,   eeprom,
                trace, blocked, errors, dip,  stray,   pitDelay,   bridgeDelay, writeTime};
    }
};

// What is wrong with the command line, or nothing.
using Fault = std::optional<QString>;

// The line: seed, rate, the chances of a dropped or corrupted byte, and answers damaged on purpose.
Fault ReadLine(const QCommandLineParser &parser, const Options &o, SimCommandLine &s) {
    bool ok = false;
    s.options.seed = parser.value(o.seed).toUInt(&ok);
    if (!ok) {
        return Message(QStringLiteral("seed"), parser.value(o.seed),
                       QStringLiteral("a whole number 0..4294967295"));
    }
    const qlonglong rate = parser.value(o.baud).toLongLong(&ok);
    if (!ok || rate < SimLimits::MinLineRate || rate > SimLimits::MaxLineRate) {
        return Message(QStringLiteral("baud"), parser.value(o.baud),
                       QStringLiteral("a line rate %1..%2")
                           .arg(SimLimits::MinLineRate)
                           .arg(SimLimits::MaxLineRate));
    }
    s.lineRate = static_cast<int>(rate);

    const QString probability = QStringLiteral("a probability 0..1");
    const auto dropP = Probability(parser.value(o.drop));
    if (!dropP) {
        return Message(QStringLiteral("drop"), parser.value(o.drop), probability);
    }
    s.options.dropProbability = *dropP;
    const auto corruptP = Probability(parser.value(o.corrupt));
    if (!corruptP) {
        return Message(QStringLiteral("corrupt"), parser.value(o.corrupt), probability);
    }
    s.options.corruptProbability = *corruptP;

    for (const QString &value : parser.values(o.flipAnswer)) {
        const QStringList parts = value.split(u',');
        const QString board = parts.value(0).trimmed().toUpper();
        const auto cell = HexByte(parts.value(1));
        const auto bits = HexByte(parts.value(2));
        if (parts.size() != 3 || (board != u"P" && board != u"B") || !cell || !bits) {
            return Message(QStringLiteral("flip-answer"), value,
                           QStringLiteral("board P or B, cell and bits as hex bytes 00..ff (for "
                                          "example P,0a,01)"));
        }
        s.options.flippedAnswers.push_back({board == u"B", *cell, *bits});
    }
    return std::nullopt;
}

// The moments of the hang-up and the stray burst, and the boards' delays.
Fault ReadTimes(const QCommandLineParser &parser, const Options &o, SimCommandLine &s) {
    const QString seconds = QStringLiteral("seconds 0..2147483.647");
    if (parser.isSet(o.hangUp)) {
        const auto ms = Milliseconds(parser.value(o.hangUp));
        if (!ms) {
            return Message(QStringLiteral("hang-up-after"), parser.value(o.hangUp), seconds);
        }
        s.options.hangUpAfterMs = *ms;
    }
    if (parser.isSet(o.stray)) {
        const auto ms = Milliseconds(parser.value(o.stray));
        if (!ms) {
            return Message(QStringLiteral("stray-burst-at"), parser.value(o.stray), seconds);
        }
        s.options.strayBurstAtMs = *ms;
    }

    const QString milliseconds =
        QStringLiteral("whole milliseconds 0..%1").arg(SimLimits::MaxMilliseconds);
    const std::pair<const QCommandLineOption *, int *> delays[] = {
        {&o.pitDelay, &s.options.pitDelayMs},
        {&o.bridgeDelay, &s.options.bridgeDelayMs},
        {&o.writeTime, &s.options.writeTimeMs},
    };
    for (const auto &[option, target] : delays) {
        if (parser.isSet(*option)) {
            const auto ms = WholeMilliseconds(parser.value(*option));
            if (!ms) {
                return Message(option->names().constFirst(), parser.value(*option), milliseconds);
            }
            *target = *ms;
        }
    }
    return std::nullopt;
}

// What the boards report: DIP switches and error bits.
Fault ReadBoards(const QCommandLineParser &parser, const Options &o, SimCommandLine &s) {
    const auto dipBits = HexByte(parser.value(o.dip));
    if (!dipBits || (*dipBits & ~SimLimits::DipBits) != 0) {
        return Message(QStringLiteral("dip"), parser.value(o.dip),
                       QStringLiteral("hex bits 04 (DIP1), 08 (DIP2), 10 (DIP3) or a sum "
                                      "of them"));
    }
    s.options.dipSwitches = *dipBits;

    if (parser.isSet(o.errors)) {
        const QStringList parts = parser.value(o.errors).split(u',');
        const auto pit = HexByte(parts.value(0));
        const auto bridge = HexByte(parts.value(1));
        if (parts.size() != 2 || !pit || !bridge) {
            return Message(QStringLiteral("errors"), parser.value(o.errors),
                           QStringLiteral("two hex bytes 00..ff as pit,bridge"));
        }
        s.options.pitErrors = *pit;
        s.options.bridgeErrors = *bridge;
    }
    return std::nullopt;
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
    const Options o;
    parser.addOptions(o.all());

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
    for (const auto read : {ReadLine, ReadTimes, ReadBoards}) {
        if (const Fault fault = read(parser, o, s)) {
            return fail(*fault);
        }
    }

    s.options.silent = parser.isSet(o.silent);
    s.options.blocked = parser.isSet(o.blocked);
    s.link = parser.value(o.link);
    s.eepromFile = parser.value(o.eeprom);
    s.trace = parser.isSet(o.trace);
    return result;
}
