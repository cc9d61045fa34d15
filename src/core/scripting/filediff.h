#pragma once

#include "core/scripting/settingnames.h"

#include <vector>

// Two configuration files compared setting by setting, without a controller: what differs is
// named as get and set name it (parameters by their key, option bits, "P:3" for the address row
// that drives to position 3 in both files), and a cell that no named setting explains by its cell
// ("grube:52").
namespace Scripting {

struct FileDifference {
    Setting setting;
    Reading a;
    Reading b;
};

std::vector<FileDifference> DiffFiles(const Backup::Image &a, const Backup::Image &b);

// A reading as a text for the user: the value as the tab shows it, or why there is none
// ("unbestätigt", "kein Wert", "fehlt"). fromFile chooses the words of a file over a board's.
QString ReadingText(const Setting &setting, const Reading &reading, bool fromFile);

} // namespace Scripting
