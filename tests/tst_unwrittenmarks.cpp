// Changes made on the PC and not yet written to a board keep their mark across a restart: the
// settings file lists them beside the values, and the next window shows them yellow again.

#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "fixtures/testwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/definition/tframedefinition.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/window/tfrmmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace TestUtil;

namespace {
constexpr int FilterB = 15; // bridge cell 13
constexpr int OptionGroup = 1;
constexpr int StepRow = 1;
constexpr int FirstPosition = 4;

QLineEdit *ParameterEdit(QWidget *tab, int row) {
    return Find<QLineEdit>(tab, QStringLiteral("edt_para_%1").arg(row).toUtf8().constData());
}
QLineEdit *AddressEdit(QWidget *tab, int row) {
    return Find<QLineEdit>(tab, QStringLiteral("edt_adr_%1").arg(row).toUtf8().constData());
}
QColor AddressPanel(QWidget *tab, int row) {
    return Find<QLabel>(tab, QStringLiteral("pnl_adr_%1").arg(row).toUtf8().constData())
        ->palette()
        .color(QPalette::Window);
}
void Type(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}
} // namespace

class TestUnwrittenMarks : public QObject {
    Q_OBJECT
private slots:
    void changesKeepTheirMarkAcrossARestart() {
        TestWindow first;
        TFrameParameter *parameters = first.w().frameParameter();
        TFrameDefinition *definition = first.w().frameDefinition();
        Type(ParameterEdit(parameters, FilterB), "61");
        parameters->CheckBox_xClick(OptionGroup, 4);
        Type(AddressEdit(definition, StepRow), "300");
        definition->btn_rgClick(FirstPosition + 1);
        const bool toggled = definition->rows().RowGreen[FirstPosition + 1];
        QVERIFY(first.w().WriteProgIni());

        // The list is a key of its own beside the values.
        IniFile ini;
        QVERIFY(ini.load(first.folder.path()));
        QCOMPARE(ini.readString(Ini::EeBuhne, Ini::ZuSchreiben, {}), QStringLiteral("13"));
        QCOMPARE(ini.readString(Ini::EeGrube, Ini::ZuSchreiben, {}), QStringLiteral("49"));
        QCOMPARE(ini.readString(Ini::Adressen, Ini::ZuSchreiben, {}).count(u','), 1);

        // A new window on the same file.
        const QByteArray file = first.folder.read();
        TestWindow second(file);
        parameters = second.w().frameParameter();
        definition = second.w().frameDefinition();
        QCOMPARE(ParameterEdit(parameters, FilterB)->text(), QStringLiteral("61"));
        QCOMPARE(ParameterEdit(parameters, FilterB)->palette().color(QPalette::Base),
                 Colors::MarkChanged);
        QCOMPARE(parameters->model().bitMark(OptionGroup, 4), Parameter::Mark::Yellow);
        QCOMPARE(parameters->model().rowMark(0), Parameter::Mark::White);
        QVERIFY(parameters->HasUnwrittenChanges());

        QCOMPARE(AddressEdit(definition, StepRow)->text(), QStringLiteral("300"));
        QCOMPARE(AddressPanel(definition, StepRow), Colors::MarkChanged);
        QCOMPARE(definition->rows().RowGreen[FirstPosition + 1], toggled);
        QCOMPARE(AddressPanel(definition, FirstPosition + 1), Colors::MarkChanged);
        QVERIFY(AddressPanel(definition, 0) != Colors::MarkChanged);
        QVERIFY(definition->HasUnwrittenChanges());

        // Undo brings the row back to what the mirror holds, and the next save lists nothing.
        definition->btn_undoClick();
        QVERIFY(!definition->HasUnwrittenChanges());
        QVERIFY(second.w().WriteProgIni());
        QVERIFY(ini.load(second.folder.path()));
        QCOMPARE(ini.readString(Ini::Adressen, Ini::ZuSchreiben, QStringLiteral("?")), QString());
    }

    void nothingChangedListsNothing() {
        TestWindow window;
        QVERIFY(window.w().WriteProgIni());
        IniFile ini;
        QVERIFY(ini.load(window.folder.path()));
        QCOMPARE(ini.readString(Ini::EeBuhne, Ini::ZuSchreiben, QStringLiteral("?")), QString());
        QCOMPARE(ini.readString(Ini::Adressen, Ini::ZuSchreiben, QStringLiteral("?")), QString());
        TestWindow second(window.folder.read());
        QVERIFY(!second.w().frameParameter()->HasUnwrittenChanges());
        QVERIFY(!second.w().frameDefinition()->HasUnwrittenChanges());
    }
};

QTEST_MAIN(TestUnwrittenMarks)
#include "tst_unwrittenmarks.moc"
