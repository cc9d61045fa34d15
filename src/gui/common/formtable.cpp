#include "gui/common/formtable.h"

#include "gui/common/controls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace FormTable {

namespace {
QString Translated(const char *context, const char *text) {
    return text ? QCoreApplication::translate(context, text) : QString();
}

QWidget *Make(QWidget *parent, Kind kind, const QString &caption) {
    switch (kind) {
    case Kind::Label:
        return new QLabel(caption, parent);
    case Kind::Panel:
        break; // built by MakePanel, with its look
    case Kind::Button:
        return new QPushButton(caption, parent);
    case Kind::CheckBox:
        return new QCheckBox(caption, parent);
    case Kind::RadioButton:
        return new QRadioButton(caption, parent);
    case Kind::GroupBox:
        return new QGroupBox(caption, parent);
    case Kind::LineEdit:
        return new QLineEdit(caption, parent);
    }
    return nullptr;
}
} // namespace

void BuildControls(QWidget *parent, const char *context, std::initializer_list<ControlSpec> table) {
    for (const ControlSpec &row : table) {
        const QString name = QString::fromLatin1(row.name);
        const QString caption = Translated(context, row.caption);
        const QString hint = Translated(context, row.hint);
        QWidget *control = nullptr;
        if (row.kind == Kind::Panel) {
            control = MakePanel(parent, name, hint, row.place, caption);
        } else {
            control = Named(Make(parent, row.kind, caption), name);
            if (!hint.isEmpty()) {
                control->setToolTip(hint);
            }
            control->setGeometry(row.place);
        }
        if (row.into) {
            row.into(control);
        }
    }
}

} // namespace FormTable
