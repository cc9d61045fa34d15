// The address rows as the user edits them: typed addresses, the red/green choice, the presets,
// undo, and the rows a configuration file kept unwritten.

#include "core/definition/addressrows.h"

#include "comm/sharedstate.h"

#include <QCoreApplication>
#include <algorithm>

namespace {
constexpr int MaxAddressText = 9999; // AddressDigits characters
constexpr int MinAddressText = -999;
constexpr int ClearAllPreset = 4; // "setze alles auf 0"
// The usual addresses: the four functions 225..228, the positions two to an address from 229.
constexpr int StandardPositionBase = 227;

size_t at(int i) {
    return static_cast<size_t>(i);
}
} // namespace

void AddressRows::TakeUnwrittenFromFile() {
    std::vector<UnwrittenChanges::AddressRow> &kept = m_state.unwrittenFromFile.addressRows;
    for (const UnwrittenChanges::AddressRow &r : kept) {
        if (r.row < 0 || r.row >= Rows) {
            continue;
        }
        // No edit shows more digits: what the row holds must be what its edit shows.
        RowAddress[at(r.row)] = std::clamp(r.address, MinAddressText, MaxAddressText);
        RowGreen[at(r.row)] = r.green;
        if (r.row >= FirstPositionRow && r.position >= 0 && r.position <= 0xFF) {
            PositionNumber[at(r.row - FirstPositionRow)] = r.position;
            m_positionSet[at(r.row - FirstPositionRow)] = true;
        }
        MarkChanged(r.row);
    }
    if (!kept.empty()) {
        kept.clear();
        ApplyPositionLimits();
    }
}

// ---------------------------------------------------------------------------------------------
// Editing

void AddressRows::MarkChanged(int row) {
    RowState[at(row)] = Changed;
    m_unstored[at(row)] = true;
}

AddressRows::EditResult AddressRows::EditAddress(int row, const QString &text) {
    bool ok = false;
    const int address = text.toInt(&ok, 10);
    const bool onTheWay =
        text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("+");
    if (!ok && !onTheWay) {
        return EditResult::Invalid; // a letter: the row stays as it was
    }
    MarkChanged(row);
    if (onTheWay) {
        return EditResult::Empty;
    }
    RowAddress[at(row)] = address;
    return EditResult::Accepted;
}

void AddressRows::ToggleGreen(int row) {
    MarkChanged(row);
    RowGreen[at(row)] = !RowGreen[at(row)];
}

void AddressRows::SetRow(int row, int address, bool green) {
    // A preset counting up from a large address must not go past what an edit shows.
    address = std::clamp(address, MinAddressText, MaxAddressText);
    if (RowAddress[at(row)] != address || RowGreen[at(row)] != green) {
        MarkChanged(row);
    }
    RowAddress[at(row)] = address;
    RowGreen[at(row)] = green;
}

void AddressRows::SetPositionNumber(int j, int number, bool compare) {
    if (compare && PositionNumber[at(j)] != number) {
        MarkChanged(j + FirstPositionRow);
    }
    PositionNumber[at(j)] = number;
    m_positionSet[at(j)] = true;
}

QString AddressRows::PresetText(int index) {
    switch (index) {
    case 0:
        return QCoreApplication::translate("AddressRows", "Adressen Standard");
    case 1:
        // The standard set with "Step" and "Turn" exchanged.
        return QCoreApplication::translate("AddressRows", "Adressen Märklin");
    case 2:
        return QCoreApplication::translate("AddressRows",
                                           "Adressen Positionen: von P1 aufsteigend R/G ");
    case 3:
        return QCoreApplication::translate("AddressRows",
                                           "Adressen Positionen: von P1 aufsteigend ohne Wechsel");
    case 4:
        return QCoreApplication::translate("AddressRows", "setze alles auf 0");
    case 5:
        return QCoreApplication::translate("AddressRows",
                                           "Positionen neu nummerieren (für DIP3 = ON)");
    default:
        return QString();
    }
}

QString AddressRows::PresetQuestion(int index) {
    if (index == ClearAllPreset) {
        return QCoreApplication::translate(
            "AddressRows", "Alle 28 Adressen und alle Positionsnummern auf 0 setzen?\n"
                           "Die bisherigen Werte gehen verloren.");
    }
    return QString();
}

void AddressRows::ApplyPreset(int index) {
    const int a0 = RowAddress[at(FirstPositionRow)];
    const bool c0 = RowGreen[at(FirstPositionRow)];
    switch (index) {
    case 0:
    case 1: {
        // The second scheme swaps "Step" and "Turn".
        const int functions[2][4] = {{225, 226, 227, 228}, {225, 227, 226, 228}};
        for (int k = 0; k < FirstPositionRow; ++k) {
            SetRow(k, functions[index][k], true);
        }
        for (int k = FirstPositionRow; k < Rows; ++k) {
            SetRow(k, StandardPositionBase + k / 2, (k - FirstPositionRow) % 2 == 1);
            SetPositionNumber(k - FirstPositionRow, k - FirstPositionRow, true);
        }
        break;
    }
    case 2:
        for (int k = FirstPositionRow; k < Rows; ++k) {
            const bool same = (k - FirstPositionRow) % 2 == 0;
            SetRow(k, a0 - 2 + k / 2, same ? c0 : !c0);
        }
        break;
    case 3:
        for (int k = FirstPositionRow; k < Rows; ++k) {
            SetRow(k, a0 + k - FirstPositionRow, c0);
        }
        break;
    case ClearAllPreset:
        for (int k = 0; k < Rows; ++k) {
            SetRow(k, 0, true);
        }
        for (int j = 0; j < PositionRows; ++j) {
            SetPositionNumber(j, 0, false);
        }
        break;
    case 5: {
        for (int j = 0; j < PositionRows; ++j) {
            PositionNumber[at(j)] = NoPosition;
            m_positionSet[at(j)] = true;
            MarkChanged(j + FirstPositionRow);
        }
        int j = 0;
        const int n = std::min(m_state.PositionCount, StationData::MaxPositions);
        for (int p = 1; p <= n && j < PositionRows; ++p) {
            if (m_state.station.PositionUsed[at(p)]) {
                PositionNumber[at(j++)] = p - 1;
            }
        }
        break;
    }
    default:
        break;
    }
    ApplyPositionLimits();
}

void AddressRows::Undo() {
    ReadFromImage(true);
}
