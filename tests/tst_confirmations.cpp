// Actions that throw away a mirror or many rows ask first, and every tab shows what they left at
// its next refresh.

#include "core/definition/addressrows.h"
#include "fixtures/testwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/definition/tframedefinition.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/window/tfrmmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace TestUtil;

namespace {
constexpr int FilterB = 15;    // bridge cell 13
constexpr int AltCount = 23;   // pit cell 48
constexpr int ClearPreset = 4; // "setze alles auf 0"

QLineEdit *ParameterEdit(QWidget *tab, int row) {
    return Find<QLineEdit>(tab, QStringLiteral("edt_para_%1").arg(row).toUtf8().constData());
}
} // namespace

class TestConfirmations : public QObject {
    Q_OBJECT
private slots:
    // "setze 00" of either board: No keeps the mirror; Yes clears it, and the parameter and
    // definition tabs show the zeros at their next refresh, not only the EEPROM tab.
    void clearingAMirrorAsksAndEveryTabFollows_data() {
        QTest::addColumn<bool>("pit");
        QTest::newRow("pit") << true;
        QTest::newRow("bridge") << false;
    }
    void clearingAMirrorAsksAndEveryTabFollows() {
        QFETCH(bool, pit);
        TestWindow t("[EE_BUHNE]\ndata_13_buhne=50\n[EE_GRUBE]\ndata_48_grube=9\n"
                     "data_4_grube=1\ndata_20_grube=2\ndata_36_grube=3\n");
        TfrmMain &w = t.w();
        BoardImage &image = pit ? w.state().pit : w.state().bridge;
        const int row = pit ? AltCount : FilterB;
        const QString before = ParameterEdit(w.frameParameter(), row)->text();
        QVERIFY(before != QStringLiteral("0"));
        auto *zero = Find<QPushButton>(w.frameEEprom(), pit ? "btn_all_zero_g" : "btn_all_zero_b");

        t.dialogs.answers = {false};
        QTest::mouseClick(zero, Qt::LeftButton);
        QCOMPARE(t.dialogs.count("yesno"), 1);
        QVERIFY(t.dialogs.calls.last().text.contains(pit ? QStringLiteral("Gruben-Platine")
                                                         : QStringLiteral("Bühnen-Platine")));
        w.frameParameter()->HousekeepingTick();
        QCOMPARE(ParameterEdit(w.frameParameter(), row)->text(), before);
        QVERIFY(image.value(pit ? 48 : 13) != 0);

        t.dialogs.answers = {true};
        QTest::mouseClick(zero, Qt::LeftButton);
        QCOMPARE(t.dialogs.count("yesno"), 2);
        for (int cell = 0; cell < BoardImage::Cells; ++cell) {
            QCOMPARE(image.value(cell), uint8_t(0));
        }
        QVERIFY(Find<QPlainTextEdit>(w.frameEEprom(), pit ? "Memo_ee_grube" : "Memo_ee_buhne")
                    ->toPlainText()
                    .startsWith(QStringLiteral("0x00: 0000 0000")));
        // The next refresh of the other tabs, as the main window's housekeeping tick runs it.
        w.frameParameter()->HousekeepingTick();
        QCOMPARE(ParameterEdit(w.frameParameter(), row)->text(), QStringLiteral("0"));
        if (pit) {
            TFrameDefinition *definition = w.frameDefinition();
            definition->HousekeepingTick();
            QTRY_COMPARE_WITH_TIMEOUT(definition->rows().RowAddress[0], 0, 5000);
        }
    }

    void clearingAllAddressesAsks() {
        TestWindow t;
        TFrameDefinition *definition = t.w().frameDefinition();
        auto *combo = Find<QComboBox>(definition, "ComboBox_adr");
        auto *go = Find<QPushButton>(definition, "btn_adr_go");
        combo->setCurrentIndex(0);
        go->click();
        QCOMPARE(t.dialogs.calls.size(), 0); // the standard set asks nothing
        QCOMPARE(definition->rows().RowAddress[0], 225);

        combo->setCurrentIndex(ClearPreset);
        t.dialogs.answers = {false};
        go->click();
        QCOMPARE(t.dialogs.count("yesno"), 1);
        QCOMPARE(definition->rows().RowAddress[0], 225);
        QCOMPARE(Find<QLineEdit>(definition, "edt_adr_0")->text(), QStringLiteral("225"));

        t.dialogs.answers = {true};
        go->click();
        QCOMPARE(t.dialogs.count("yesno"), 2);
        QCOMPARE(definition->rows().RowAddress[0], 0);
        QCOMPARE(Find<QLineEdit>(definition, "edt_adr_0")->text(), QStringLiteral("0"));
    }

    void defaultValuesAsk() {
        TestWindow t("[EE_BUHNE]\ndata_13_buhne=50\n");
        TFrameParameter *parameters = t.w().frameParameter();
        auto *defaults = Find<QPushButton>(parameters, "btn_default");
        t.dialogs.answers = {false};
        defaults->click();
        QCOMPARE(t.dialogs.count("okcancel"), 1);
        QVERIFY(!parameters->HasUnwrittenChanges());
        t.dialogs.answers = {true};
        defaults->click();
        QCOMPARE(t.dialogs.count("okcancel"), 2);
        QVERIFY(parameters->HasUnwrittenChanges());
        QCOMPARE(ParameterEdit(parameters, FilterB)->text(), QStringLiteral("46"));
    }
};

QTEST_MAIN(TestConfirmations)
#include "tst_confirmations.moc"
