#include "core/scripting/settingjob.h"

#include "comm/numbertext.h"
#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"
#include "core/settings/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <map>

using Scripting::Kind;
using Scripting::Reading;

namespace {
bool SameStation(const StationData &a, const StationData &b) {
    return a.PositionUsed == b.PositionUsed && a.PositionName == b.PositionName &&
           a.ZeroOffset == b.ZeroOffset && a.ReverseCounting == b.ReverseCounting &&
           a.ShowSwitchLine == b.ShowSwitchLine && a.UseMotorola == b.UseMotorola;
}
} // namespace

SettingJob::SettingJob(SharedState &state, QObject *parent)
    : QObject(parent), m_state(state), m_run(state) {
    connect(&m_run, &BackupRun::progressed, this, &SettingJob::progressed);
    connect(&m_run, &BackupRun::finished, this, &SettingJob::OnRunFinished);
}

bool SettingJob::NeedsLine(const std::vector<Scripting::Setting> &settings) {
    return std::any_of(settings.begin(), settings.end(),
                       [](const Scripting::Setting &s) { return s.onBoard(); });
}

bool SettingJob::StartGet(const std::vector<Scripting::Setting> &settings) {
    std::vector<Item> items;
    for (const Scripting::Setting &s : settings) {
        items.push_back(Item{s, std::nullopt, {}, Item::Outcome::Read, {}, {}, {}});
    }
    if (running()) {
        return false;
    }
    m_items = items;
    m_mode = Mode::Get;
    Begin();
    return true;
}

bool SettingJob::StartSet(const std::vector<Item> &items, bool force) {
    if (running()) {
        return false;
    }
    m_items = items;
    m_mode = Mode::Set;
    m_force = force;
    Begin();
    return true;
}

bool SettingJob::StartFromFile(const Backup::Image &cells,
                               const std::optional<StationData> &station, bool force) {
    if (running()) {
        return false;
    }
    m_items.clear();
    m_mode = Mode::FromFile;
    m_file = cells;
    m_station = station;
    m_force = force;
    Begin();
    return true;
}

void SettingJob::Begin() {
    m_pending = true;
    m_phase = Phase::Reading;
    m_cells = Backup::Image();
    m_lines.clear();
    m_differences.clear();
    m_differenceLines.clear();
    m_written.clear();
    m_stationOutcome = StationOutcome::NotAsked;
    m_result = Result::Done;
    // Told by a signal, also when nothing is to be read: the owner waits for it.
    QMetaObject::invokeMethod(this, &SettingJob::ReadNext, Qt::QueuedConnection);
}

void SettingJob::Abort() {
    if (m_run.running()) {
        m_run.Abort(); // finished() follows at once
    } else if (m_pending) {
        m_lines << QCoreApplication::translate("SettingJob",
                                               "Abgebrochen: nichts wurde geschrieben.");
        End(Result::Stopped);
    }
}

QString SettingJob::ProgressText() const {
    return (m_phase == Phase::Writing ? QCoreApplication::translate("SettingJob", "schreibt %1")
                                      : QCoreApplication::translate("SettingJob", "liest %1"))
        .arg(m_run.ProgressText());
}

void SettingJob::ReadNext() {
    if (!m_pending) {
        return; // stopped meanwhile
    }
    if (m_mode == Mode::FromFile) {
        if (Backup::CellsToRead(m_file).empty()) {
            FinishFromFileReading();
        } else {
            m_run.StartCompare(m_file);
        }
        return;
    }
    std::vector<std::pair<Board, int>> needed;
    for (const Item &item : m_items) {
        for (const auto &cell : Scripting::CellsNeeded(item.setting, m_cells)) {
            if (std::find(needed.begin(), needed.end(), cell) == needed.end()) {
                needed.push_back(cell);
            }
        }
    }
    if (needed.empty()) {
        FinishReading();
        return;
    }
    m_run.StartRead(needed);
}

void SettingJob::Merge(const Backup::Image &found) {
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Backup::Cells; ++cell) {
            const Backup::Cell &c = found.of(board)[static_cast<size_t>(cell)];
            if (c.state != Backup::Cell::State::Absent) {
                m_cells.of(board)[static_cast<size_t>(cell)] = c;
            }
        }
    }
}

bool SettingJob::NothingAnswered() const {
    bool asked = false;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (const Backup::Cell &c : m_cells.of(board)) {
            if (c.state == Backup::Cell::State::Value ||
                c.state == Backup::Cell::State::Unconfirmed) {
                return false;
            }
            asked = asked || c.state == Backup::Cell::State::NoAnswer;
        }
    }
    return asked;
}

void SettingJob::OnRunFinished(BackupRun::End end) {
    if (end == BackupRun::End::Stopped) {
        m_lines << (m_phase == Phase::Writing && m_run.writesSent() > 0
                        ? QCoreApplication::translate(
                              "SettingJob", "Abgebrochen: ein Teil der Zellen wurde geschrieben.")
                        : QCoreApplication::translate("SettingJob",
                                                      "Abgebrochen: nichts wurde geschrieben."));
        End(Result::Stopped);
        return;
    }
    if (end == BackupRun::End::Interrupted || end == BackupRun::End::Silent) {
        m_lines << (end == BackupRun::End::Silent
                        ? QCoreApplication::translate(
                              "SettingJob",
                              "Die Steuerung antwortet nicht: Verbindung und Stromversorgung "
                              "prüfen.")
                        : QCoreApplication::translate("SettingJob",
                                                      "Die Verbindung ging verloren."));
        if (m_phase == Phase::Writing) {
            m_lines << m_run.reportLine();
        }
        End(Result::LineFailed);
        return;
    }
    if (m_phase == Phase::Writing) {
        FinishWriting();
        return;
    }
    Merge(m_run.found());
    if (NothingAnswered()) {
        m_lines << QCoreApplication::translate(
                       "SettingJob",
                       "Die Steuerung antwortet nicht: Verbindung und Stromversorgung prüfen.")
                << (m_mode == Mode::Get
                        ? QString()
                        : QCoreApplication::translate("SettingJob", "Nichts wurde geschrieben."));
        m_lines.removeAll(QString());
        End(Result::LineFailed);
        return;
    }
    if (m_mode == Mode::FromFile) {
        FinishFromFileReading();
    } else {
        ReadNext(); // a row found by its position: now its own cells
    }
}

void SettingJob::FinishReading() {
    bool all = true;
    for (Item &item : m_items) {
        item.before = Scripting::Read(item.setting, m_cells, m_state.station);
        all = all && item.before.state == Reading::State::Confirmed && item.before.value;
    }
    if (m_mode == Mode::Get) {
        End(all ? Result::Done : Result::Incomplete);
        return;
    }
    PlanAndWrite();
}

void SettingJob::PlanAndWrite() {
    // Planned one after the other on what the earlier ones will have written: two bits of one
    // option byte both reach the board.
    Backup::Image working = m_cells;
    bool unusable = false;
    bool unsure = false;
    for (Item &item : m_items) {
        if (!item.setting.onBoard() || !item.wanted) {
            continue;
        }
        const Scripting::Plan plan =
            Scripting::PlanWrite(item.setting, *item.wanted, working, m_force);
        if (!plan.problem.isEmpty()) {
            item.problem = plan.problem;
            // No row for the position at all is the user's word that cannot be done; cells
            // without a sure answer are the line's.
            (item.before.state == Reading::State::Unreadable && item.before.row < 0 &&
                     !item.before.problem.isEmpty()
                 ? unusable
                 : unsure) = true;
            continue;
        }
        item.writes = plan.writes;
        for (const Backup::Write &w : plan.writes) {
            working.of(w.board)[static_cast<size_t>(w.cell)] = Backup::Cell::Of(w.value);
        }
    }
    if (unusable || unsure) {
        for (Item &item : m_items) {
            item.outcome = Item::Outcome::NotWritten;
            item.writes.clear();
        }
        m_lines << QCoreApplication::translate("SettingJob", "Nichts wurde geschrieben.");
        End(unusable ? Result::Refused : Result::Incomplete);
        return;
    }
    // One write per cell, the last word on it.
    std::map<std::pair<Board, int>, int> last;
    m_written.clear();
    for (Item &item : m_items) {
        if (item.setting.onBoard()) {
            item.outcome = item.writes.empty() ? Item::Outcome::Unchanged : Item::Outcome::Written;
        }
        for (const Backup::Write &w : item.writes) {
            const auto key = std::make_pair(w.board, w.cell);
            if (const auto it = last.find(key); it != last.end()) {
                m_written[static_cast<size_t>(it->second)].value = w.value;
                continue;
            }
            last[key] = static_cast<int>(m_written.size());
            m_written.push_back(w);
        }
    }
    if (m_written.empty()) {
        FinishWriting();
        return;
    }
    m_phase = Phase::Writing;
    m_run.StartWrite(m_written);
}

void SettingJob::FinishFromFileReading() {
    // Cells the file holds as unconfirmed are neither compared nor written, as by a restore.
    for (const auto &[board, cell] : Backup::UnconfirmedInFile(m_file)) {
        m_lines << Backup::UnconfirmedInFileLine(board, cell, true);
        m_result = Result::Incomplete;
    }
    m_differences = Backup::Compare(m_file, m_cells);
    m_differenceLines = Backup::DifferenceLines(m_differences, m_file, m_cells);
    if (m_force) {
        m_written.clear();
        for (const auto &[board, cell] : Backup::CellsToRead(m_file)) {
            if (!Backup::IsFirmwareCell(board, cell)) {
                m_written.push_back(
                    {board, cell, m_file.of(board)[static_cast<size_t>(cell)].value});
            }
        }
    } else {
        m_written = Backup::RestorePlan(m_differences);
        const int unknown = Backup::UnknownOnBoard(m_differences);
        if (unknown > 0) {
            m_lines << (unknown == 1 ? QCoreApplication::translate(
                                           "SettingJob",
                                           "1 Zelle ohne sichere Antwort der Steuerung wird nicht "
                                           "geschrieben.")
                                     : QCoreApplication::translate(
                                           "SettingJob",
                                           "%1 Zellen ohne sichere Antwort der Steuerung werden "
                                           "nicht geschrieben.")
                                           .arg(unknown));
            m_result = Result::Incomplete;
        }
    }
    if (m_written.empty()) {
        FinishWriting();
        return;
    }
    m_phase = Phase::Writing;
    m_run.StartWrite(m_written);
}

void SettingJob::FinishWriting() {
    const std::vector<Backup::Failure> &failures = m_run.failures();
    bool allWritten = m_phase != Phase::Writing || failures.empty();
    for (Item &item : m_items) {
        for (const Backup::Failure &f : failures) {
            const bool mine =
                std::any_of(item.writes.begin(), item.writes.end(), [&](const Backup::Write &w) {
                    return w.board == f.write.board && w.cell == f.write.cell;
                });
            if (mine) {
                item.failures.push_back(f);
                item.outcome = Item::Outcome::Failed;
            }
        }
    }
    if (m_mode == Mode::FromFile) {
        for (const Backup::Failure &f : failures) {
            m_lines << Backup::FailureLine(f);
        }
    }
    WriteStation();
    for (const Item &item : m_items) {
        allWritten = allWritten && (item.outcome == Item::Outcome::Written ||
                                    item.outcome == Item::Outcome::Unchanged);
    }
    End(allWritten && m_result == Result::Done ? Result::Done : Result::Incomplete);
}

void SettingJob::WriteStation() {
    std::vector<Item *> station;
    for (Item &item : m_items) {
        if (!item.setting.onBoard() && item.wanted) {
            if (!m_force && item.before.value && *item.before.value == *item.wanted) {
                item.outcome = Item::Outcome::Unchanged;
            } else {
                station.push_back(&item);
            }
        }
    }
    if (station.empty() && !m_station) {
        return;
    }
    if (m_station && station.empty() && !m_force && SameStation(*m_station, m_state.station)) {
        m_stationOutcome = StationOutcome::Unchanged; // the settings file holds it already
        return;
    }
    QString error;
    const bool saved = EditIniFile(
        m_settingsFile,
        [&](IniFile &ini) {
            if (m_station) {
                WriteStationData(ini, *m_station);
            }
            for (const Item *item : station) {
                const int i = item->setting.index;
                if (item->setting.kind == Kind::PositionUsed) {
                    ini.writeBool(Ini::Use, Ini::PositionUseKey(i), item->wanted->flag);
                } else {
                    ini.writeString(Ini::Name, Ini::PositionNameKey(i), item->wanted->text);
                }
            }
        },
        &error);
    if (!saved) {
        for (Item *item : station) {
            item->outcome = Item::Outcome::NotWritten;
            item->problem = error;
        }
        m_lines << QCoreApplication::translate(
                       "SettingJob", "Die Einstellungs-Datei %1 wurde nicht geschrieben: %2")
                       .arg(QDir::toNativeSeparators(m_settingsFile), error);
        if (m_station) {
            m_stationOutcome = StationOutcome::Failed;
        }
        m_result = Result::Incomplete;
        return;
    }
    // Read back as the program reads it at its next start.
    IniFile ini;
    StationData now;
    if (ini.load(m_settingsFile, &error)) {
        ReadStationData(ini, now);
    }
    for (Item *item : station) {
        const Scripting::Reading back = Scripting::Read(item->setting, Backup::Image(), now);
        item->outcome = back.value && *back.value == *item->wanted ? Item::Outcome::Written
                                                                   : Item::Outcome::Failed;
    }
    if (m_station) {
        const bool held = SameStation(now, *m_station);
        m_stationOutcome = held ? StationOutcome::Written : StationOutcome::Failed;
        if (!held) {
            m_lines << QCoreApplication::translate(
                           "SettingJob",
                           "Die Einstellungs-Datei %1 hält die Gleis-Definition nicht wie "
                           "geschrieben.")
                           .arg(QDir::toNativeSeparators(m_settingsFile));
            m_result = Result::Incomplete;
        }
    }
    m_state.station = now;
}

void SettingJob::End(Result result) {
    m_pending = false;
    m_result = result;
    emit finished(result);
}
