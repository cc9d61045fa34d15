#pragma once

// A form written as a table: one row per control with its kind, name, place, caption and tool
// tip, built in the row order. That order is the order in which the controls are stacked and
// reached with the Tab key, so a table lists them as the user meets them.

#include <QRect>
#include <QWidget>
#include <functional>
#include <initializer_list>

namespace FormTable {

enum class Kind {
    Label,
    Panel, // a status panel: sunken frame, centred caption, its own background (MakePanel)
    Button,
    CheckBox,
    RadioButton,
    GroupBox, // the caption is its title
    LineEdit, // the caption is its text
};

// Captions and hints are the untranslated texts, marked with QT_TRANSLATE_NOOP in the context of
// the class that shows them, so that the translation tools find them; BuildControls translates
// them in that context. A null text leaves the caption or tool tip empty.
struct ControlSpec {
    Kind kind;
    const char *name;
    QRect place;
    const char *caption = nullptr;
    const char *hint = nullptr;
    // Receives the control built from this row, for the form's member that keeps it.
    std::function<void(QWidget *)> into;
};

// Keeps the control in member, as the type the member has (see ControlSpec::into). A row whose
// kind builds another type is a mistake in the table, found at the form's first build.
template <typename T> std::function<void(QWidget *)> Into(T *&member) {
    return [&member](QWidget *control) {
        member = qobject_cast<T *>(control);
        if (!member) {
            qFatal("FormTable: %s is no %s", qPrintable(control->objectName()),
                   T::staticMetaObject.className());
        }
    };
}

// Builds the table's controls on parent, in the table's order, with their captions and hints
// translated in context.
void BuildControls(QWidget *parent, const char *context, std::initializer_list<ControlSpec> table);

} // namespace FormTable
