#pragma once

#include <QString>
#include <array>
#include <optional>

// What a user level shows: "Debug" everything, "Justage" all but the EEPROM tab and no memos,
// "Fahren" only the operation and settings tabs. Any other text keeps the form as built.
struct LevelView {
    std::array<bool, 6> tabs{}; // in the order of the pages
    bool memos = true;          // the send log and the info dump
    bool extras = true;         // the pit board's own target on the operation tab
    bool baudAndSend = false;   // the baud rate (shown, never enabled) and the manual send
};
std::optional<LevelView> ViewOfLevel(const QString &level);
