// Forms written as tables: every row becomes the control of its kind with its name, place,
// caption and tool tip, in the table's order, its texts translated in the table's own context,
// and kept in the member the row names.

#include "gui/common/formtable.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTranslator>

using namespace FormTable;

namespace {
// English for one context only, so that a text translated in another context shows as German.
class OneContext : public QTranslator {
public:
    QString translate(const char *context, const char *source, const char *, int) const override {
        if (qstrcmp(context, "TestForm") == 0 && qstrcmp(source, "Ziel") == 0) {
            return QStringLiteral("Target");
        }
        if (qstrcmp(context, "TestForm") == 0 && qstrcmp(source, "Bühne dreht") == 0) {
            return QStringLiteral("Bridge turning");
        }
        return QString();
    }
    bool isEmpty() const override { return false; }
};
} // namespace

class TestFormTable : public QObject {
    Q_OBJECT
private slots:
    void everyRowBecomesItsControl() {
        QWidget form;
        QLabel *label = nullptr;
        QLabel *panel = nullptr;
        QPushButton *button = nullptr;
        QCheckBox *box = nullptr;
        QRadioButton *radio = nullptr;
        QGroupBox *group = nullptr;
        QLineEdit *edit = nullptr;
        BuildControls(
            &form, "TestForm",
            {
                {Kind::Label, "lbl", {1, 2, 30, 14}, "Ist", nullptr, Into(label)},
                {Kind::Panel, "pnl", {5, 20, 40, 26}, "7", "Zustand", Into(panel)},
                {Kind::Button, "btn", {50, 2, 80, 25}, "Los", "fährt", Into(button)},
                {Kind::CheckBox, "cbx", {50, 30, 90, 20}, "Licht", nullptr, Into(box)},
                {Kind::RadioButton, "rad", {50, 52, 90, 20}, "Links", nullptr, Into(radio)},
                {Kind::GroupBox, "grp", {140, 2, 100, 80}, "Gruppe", nullptr, Into(group)},
                {Kind::LineEdit, "edt", {140, 90, 60, 21}, "12", "Adresse", Into(edit)},
                {Kind::Label, "unkept", {1, 100, 30, 14}, nullptr, nullptr, {}},
            });
        const QList<QWidget *> built = form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(built.size(), 8);
        // In the table's order: the order of stacking and of the Tab key.
        QStringList names;
        for (QWidget *w : built) {
            names << w->objectName();
        }
        QCOMPARE(names, QStringList({"lbl", "pnl", "btn", "cbx", "rad", "grp", "edt", "unkept"}));
        QCOMPARE(static_cast<QWidget *>(label), built[0]);
        QCOMPARE(static_cast<QWidget *>(edit), built[6]);

        QCOMPARE(label->geometry(), QRect(1, 2, 30, 14));
        QCOMPARE(label->text(), QStringLiteral("Ist"));
        QCOMPARE(label->toolTip(), QString());
        QCOMPARE(button->geometry(), QRect(50, 2, 80, 25));
        QCOMPARE(button->text(), QStringLiteral("Los"));
        QCOMPARE(button->toolTip(), QStringLiteral("fährt"));
        QCOMPARE(box->text(), QStringLiteral("Licht"));
        QCOMPARE(box->geometry(), QRect(50, 30, 90, 20));
        QCOMPARE(radio->text(), QStringLiteral("Links"));
        QCOMPARE(group->title(), QStringLiteral("Gruppe"));
        QCOMPARE(group->geometry(), QRect(140, 2, 100, 80));
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QCOMPARE(edit->toolTip(), QStringLiteral("Adresse"));
        QCOMPARE(built[7]->geometry(), QRect(1, 100, 30, 14));

        // A panel has the look of the tabs' status panels.
        QCOMPARE(panel->geometry(), QRect(5, 20, 40, 26));
        QCOMPARE(panel->text(), QStringLiteral("7"));
        QCOMPARE(panel->toolTip(), QStringLiteral("Zustand"));
        QCOMPARE(panel->frameShape(), QFrame::Panel);
        QCOMPARE(panel->frameShadow(), QFrame::Sunken);
        QCOMPARE(panel->alignment(), Qt::AlignCenter);
        QVERIFY(panel->autoFillBackground());
        QCOMPARE(label->frameShape(), QFrame::NoFrame);
    }

    void textsTranslatedInTheTablesContext() {
        OneContext english;
        QVERIFY(QCoreApplication::installTranslator(&english));
        QWidget form;
        QPushButton *mine = nullptr;
        QPushButton *other = nullptr;
        QLabel *panel = nullptr;
        BuildControls(&form, "TestForm",
                      {{Kind::Button, "mine", {0, 0, 50, 20}, "Ziel", "Ziel", Into(mine)},
                       {Kind::Panel, "pnl", {0, 30, 50, 20}, nullptr, "Bühne dreht", Into(panel)}});
        BuildControls(&form, "OtherForm",
                      {{Kind::Button, "other", {60, 0, 50, 20}, "Ziel", nullptr, Into(other)}});
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(mine->text(), QStringLiteral("Target"));
        QCOMPARE(mine->toolTip(), QStringLiteral("Target"));
        QCOMPARE(panel->toolTip(), QStringLiteral("Bridge turning"));
        QCOMPARE(panel->text(), QString());
        QCOMPARE(other->text(), QStringLiteral("Ziel"));
    }

    // Each table builds on its own parent: a group's table fills the group.
    void controlsLieOnTheParentGiven() {
        QWidget form;
        QGroupBox *group = nullptr;
        QLabel *inside = nullptr;
        BuildControls(
            &form, "TestForm",
            {{Kind::GroupBox, "grp", {10, 10, 200, 100}, "Gruppe", nullptr, Into(group)}});
        BuildControls(group, "TestForm",
                      {{Kind::Label, "inside", {8, 20, 50, 16}, "Ist", nullptr, Into(inside)}});
        QCOMPARE(inside->parentWidget(), group);
        QCOMPARE(inside->mapTo(&form, QPoint()), QPoint(18, 30));
        QCOMPARE(form.findChildren<QLabel *>(Qt::FindDirectChildrenOnly).size(), 0);
    }
};

QTEST_MAIN(TestFormTable)
#include "tst_formtable.moc"
