#include "core/settings/userlevel.h"

#include "core/settings/inikeys.h"

std::optional<LevelView> ViewOfLevel(const QString &level) {
    LevelView view;
    view.tabs = {true, true, true, true, true, true};
    if (level == Ini::LevelDebug) {
        view.baudAndSend = true;
    } else if (level == Ini::LevelJustage) {
        view.tabs[4] = false;
        view.memos = view.extras = false;
    } else if (level == Ini::LevelFahren) {
        view.tabs = {true, false, false, false, false, true};
        view.memos = view.extras = false;
    } else {
        return std::nullopt;
    }
    return view;
}
