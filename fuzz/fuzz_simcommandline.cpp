// pivota-sim's command line: any arguments, whose accepted settings must lie in the simulator's
// ranges, and command lines built from the known options with values in and out of range, which
// must read back as built or be refused naming a wrong option.
//
// Input: a mode byte; for even ones the arguments as pieces between NUL bytes (UTF-8), for odd
// ones the choices of a built command line.

#include "fuzzcheck.h"
#include "fuzztext.h"
#include "sim/simcommandline.h"

#include <QCoreApplication>
#include <climits>

namespace {
using Status = SimCommandLineResult::Status;
const QString Program = QStringLiteral("pivota-sim");

void CheckAny(const SimCommandLineResult &r) {
    switch (r.status) {
    case Status::Error:
        FUZZ_CHECK(!r.error.isEmpty());
        return;
    case Status::Help:
        FUZZ_CHECK(r.helpText.contains(QLatin1String("--eeprom")));
        return;
    case Status::Run:
        break;
    }
    const SimCommandLine &s = r.settings;
    const SimOptions &o = s.options;
    FUZZ_CHECK(s.lineRate >= SimLimits::MinLineRate && s.lineRate <= SimLimits::MaxLineRate);
    FUZZ_CHECK(o.dropProbability >= 0.0 && o.dropProbability <= 1.0);
    FUZZ_CHECK(o.corruptProbability >= 0.0 && o.corruptProbability <= 1.0);
    FUZZ_CHECK(o.hangUpAfterMs == -1 || o.hangUpAfterMs >= 0);
    FUZZ_CHECK(o.strayBurstAtMs == -1 || o.strayBurstAtMs >= 0);
    FUZZ_CHECK(o.pitDelayMs >= 0 && o.bridgeDelayMs >= 0 && o.writeTimeMs >= 0);
    FUZZ_CHECK((o.dipSwitches & ~SimLimits::DipBits) == 0);
    for (const SimOptions::FlippedAnswer &flip : o.flippedAnswers) {
        FUZZ_CHECK(flip.cell >= 0 && flip.cell < Simulator::Cells);
    }
}

struct Built {
    QStringList arguments{Program};
    SimCommandLine expected;
    QStringList wrong; // options given a value out of range
};

void Add(Built &b, FuzzInput &in, const char *name, const QString &value) {
    const QString option = QStringLiteral("--") + QLatin1String(name);
    if (in.byte() & 1) {
        b.arguments << option + u'=' + value;
    } else {
        b.arguments << option << value;
    }
}

// Whether this value is to be out of range: one in four.
bool Wrong(Built &b, FuzzInput &in, const char *name) {
    if ((in.byte() & 3) != 0) {
        return false;
    }
    b.wrong << QString::fromLatin1(name);
    return true;
}

QString Seconds(int ms) {
    return QStringLiteral("%1.%2").arg(ms / 1000).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString Pick(FuzzInput &in, std::initializer_list<const char *> texts) {
    return QString::fromLatin1(texts.begin()[in.byte() % texts.size()]);
}

void AddProbability(Built &b, FuzzInput &in, const char *name, double &target) {
    if (Wrong(b, in, name)) {
        Add(b, in, name, Pick(in, {"1.0000001", "-0.1", "nan", "inf", "2", "p"}));
        return;
    }
    const double p = in.byte() / 255.0;
    Add(b, in, name, QString::number(p, 'g', 17));
    target = p;
}

void AddTime(Built &b, FuzzInput &in, const char *name, int &target) {
    if (Wrong(b, in, name)) {
        Add(b, in, name, Pick(in, {"2147483.648", "-0.001", "1e10", "nan", "-inf", "", "s"}));
        return;
    }
    const int ms = static_cast<int>(in.u32() & INT_MAX);
    Add(b, in, name, Seconds(ms));
    target = ms;
}

void AddDelay(Built &b, FuzzInput &in, const char *name, int &target) {
    if (Wrong(b, in, name)) {
        Add(b, in, name, Pick(in, {"2147483648", "-1", "1.5", "", "ms", "0x10"}));
        return;
    }
    const int ms = static_cast<int>(in.u32() & INT_MAX);
    Add(b, in, name, QString::number(ms));
    target = ms;
}

QString Hex(uint8_t value, uint8_t form) {
    QString text = QString::number(value, 16);
    if (form & 1) {
        text = text.rightJustified(2, u'0');
    }
    if (form & 2) {
        text = text.toUpper();
    }
    return form & 4 ? QStringLiteral("0x") + text : text;
}

Built Build(FuzzInput &in) {
    Built b;
    SimCommandLine &s = b.expected;
    const uint32_t choose = in.u32();
    for (int option = 0; option < 16; ++option) {
        if (!(choose & (1u << option))) {
            continue;
        }
        switch (option) {
        case 0:
            s.link = QStringLiteral("/tmp/") + FuzzText::Name(in);
            Add(b, in, "link", s.link);
            break;
        case 1:
            if (Wrong(b, in, "baud")) {
                Add(b, in, "baud", Pick(in, {"299", "4000001", "-19200", "9600.5", "fast"}));
            } else {
                s.lineRate = SimLimits::MinLineRate +
                             static_cast<int>(
                                 in.u32() % (SimLimits::MaxLineRate - SimLimits::MinLineRate + 1));
                Add(b, in, "baud", QString::number(s.lineRate));
            }
            break;
        case 2:
            if (Wrong(b, in, "seed")) {
                Add(b, in, "seed", Pick(in, {"4294967296", "-1", "1.0", "x"}));
            } else {
                s.options.seed = in.u32();
                Add(b, in, "seed", QString::number(s.options.seed));
            }
            break;
        case 3:
            AddProbability(b, in, "drop", s.options.dropProbability);
            break;
        case 4:
            AddProbability(b, in, "corrupt", s.options.corruptProbability);
            break;
        case 5:
            b.arguments << QStringLiteral("--silent");
            s.options.silent = true;
            break;
        case 6:
            AddTime(b, in, "hang-up-after", s.options.hangUpAfterMs);
            break;
        case 7:
            s.eepromFile = FuzzText::Name(in);
            Add(b, in, "eeprom", s.eepromFile);
            break;
        case 8:
            b.arguments << QStringLiteral("--trace");
            s.trace = true;
            break;
        case 9:
            b.arguments << QStringLiteral("--blocked");
            s.options.blocked = true;
            break;
        case 10:
            if (Wrong(b, in, "errors")) {
                Add(b, in, "errors", Pick(in, {"01", "01,02,03", "100,00", "0x,1", ",", "g,0"}));
            } else {
                s.options.pitErrors = in.byte();
                s.options.bridgeErrors = in.byte();
                const uint8_t form = in.byte();
                Add(b, in, "errors",
                    Hex(s.options.pitErrors, form) + u',' + Hex(s.options.bridgeErrors, form >> 3));
            }
            break;
        case 11:
            if (Wrong(b, in, "dip")) {
                Add(b, in, "dip", Pick(in, {"01", "20", "1d", "100", "0x", "DIP1"}));
            } else {
                s.options.dipSwitches = in.byte() & SimLimits::DipBits;
                Add(b, in, "dip", Hex(s.options.dipSwitches, in.byte()));
            }
            break;
        case 12:
            AddTime(b, in, "stray-burst-at", s.options.strayBurstAtMs);
            break;
        case 13:
            AddDelay(b, in, "pit-delay", s.options.pitDelayMs);
            break;
        case 14:
            AddDelay(b, in, "bridge-delay", s.options.bridgeDelayMs);
            break;
        case 15:
            AddDelay(b, in, "write-time", s.options.writeTimeMs);
            break;
        }
    }
    return b;
}

void CheckBuilt(FuzzInput &in) {
    const Built b = Build(in);
    const SimCommandLineResult r = ParseSimCommandLine(b.arguments);
    CheckAny(r);
    if (!b.wrong.isEmpty()) {
        FUZZ_CHECK(r.status == Status::Error);
        bool named = false;
        for (const QString &name : b.wrong) {
            named = named || r.error.startsWith(QStringLiteral("--%1 ").arg(name));
        }
        FUZZ_CHECK(named);
        return;
    }
    FUZZ_CHECK(r.status == Status::Run);
    const SimCommandLine &s = r.settings;
    const SimCommandLine &e = b.expected;
    FUZZ_CHECK(s.link == e.link && s.lineRate == e.lineRate && s.eepromFile == e.eepromFile &&
               s.trace == e.trace);
    const SimOptions &o = s.options;
    const SimOptions &x = e.options;
    FUZZ_CHECK(o.seed == x.seed);
    FUZZ_CHECK(o.dropProbability == x.dropProbability);
    FUZZ_CHECK(o.corruptProbability == x.corruptProbability);
    FUZZ_CHECK(o.silent == x.silent && o.blocked == x.blocked);
    FUZZ_CHECK(o.hangUpAfterMs == x.hangUpAfterMs);
    FUZZ_CHECK(o.strayBurstAtMs == x.strayBurstAtMs);
    FUZZ_CHECK(o.strayBurstLength == x.strayBurstLength);
    FUZZ_CHECK(o.pitErrors == x.pitErrors && o.bridgeErrors == x.bridgeErrors);
    FUZZ_CHECK(o.dipSwitches == x.dipSwitches);
    FUZZ_CHECK(o.occupancy == x.occupancy);
    FUZZ_CHECK(o.pitDelayMs == x.pitDelayMs);
    FUZZ_CHECK(o.bridgeDelayMs == x.bridgeDelayMs);
    FUZZ_CHECK(o.writeTimeMs == x.writeTimeMs);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv); // the help text names the program
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    if (in.byte() & 1) {
        CheckBuilt(in);
    } else {
        size_t n = 0;
        const char *rest = in.take(size, &n);
        CheckAny(ParseSimCommandLine(FuzzText::ArgumentsOf(rest, n, Program)));
    }
    return 0;
}
