// The track definition tab's frame: editing the address rows, presets and undo, its controls and
// their layout, the position buttons and the picture.

#include "comm/sharedstate.h"
#include "core/definition/addressrows.h"
#include "core/definition/turntablegeometry.h"
#include "fixtures/addresstransfer.h"
#include "fixtures/definitionframe.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/common/turntablepicture.h"
#include "gui/definition/tframedefinition.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace TestUtil;

namespace {
// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};
} // namespace

class TestDefinition : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // Editing and presets

    void editingAnAddress() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        f.rows().RowAddress[7] = 42;
        f.ShowAddressRows();
        QLineEdit *edit = Edit(&f, 7);
        QCOMPARE(edit->text(), QStringLiteral("42"));
        QVERIFY(!f.HasUnwrittenChanges());

        edit->setText(QStringLiteral("007"));
        QCOMPARE(f.rows().RowAddress[7], 7);
        QCOMPARE(edit->text(), QStringLiteral("7"));
        QCOMPARE(f.rows().RowState[7], int(AddressRows::Changed));
        QCOMPARE(PanelColour(f, 7), Colors::MarkChanged);
        QCOMPARE(edit->palette().color(QPalette::Base), Colors::AddressGreen);
        QVERIFY(f.HasUnwrittenChanges());
        QCOMPARE(t.dialogs.calls.size(), 0);

        // A letter: the edit goes back to its last valid text, without a box.
        edit->setText(QStringLiteral("7x"));
        QCOMPARE(edit->text(), QStringLiteral("7"));
        QCOMPARE(f.rows().RowAddress[7], 7);
        QVERIFY(t.dialogs.calls.isEmpty());

        // An empty edit marks the row but keeps the address.
        f.rows().RowState[8] = AddressRows::Verified;
        f.rows().RowAddress[8] = 300;
        Edit(&f, 8)->setText(QString());
        QCOMPARE(f.rows().RowAddress[8], 300);
        QCOMPARE(f.rows().RowState[8], int(AddressRows::Changed));
        QCOMPARE(PanelColour(f, 8), Colors::MarkChanged);
        QVERIFY(t.dialogs.calls.isEmpty());

        // Showing the rows never counts as an edit.
        f.rows().RowState.fill(AddressRows::Sent);
        f.rows().RowAddress[9] = 12;
        f.ShowAddressRows();
        QCOMPARE(f.rows().RowState[9], int(AddressRows::Sent));
        QCOMPARE(PanelColour(f, 9), Colors::MarkSent);
    }

    // Letters typed among the digits are dropped as they come: the rest of what was typed stays,
    // the cursor where it was, the row's mark as it was, and no box interrupts the typing.
    void lettersTypedAreDropped() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        f.show();
        f.rows().RowAddress[5] = 300;
        f.rows().RowState.fill(AddressRows::Verified);
        f.ShowAddressRows();
        QLineEdit *edit = Edit(&f, 5);
        edit->setFocus();
        edit->setCursorPosition(3);
        QTest::keyClick(edit, Qt::Key_Q);
        QCOMPARE(edit->text(), QStringLiteral("300"));
        QCOMPARE(edit->cursorPosition(), 3);
        QCOMPARE(f.rows().RowState[5], int(AddressRows::Verified));
        QCOMPARE(PanelColour(f, 5), Colors::MarkReceived);
        QVERIFY(!f.HasUnwrittenChanges());

        edit->setCursorPosition(1);
        QTest::keyClick(edit, Qt::Key_K);
        QCOMPARE(edit->text(), QStringLiteral("300"));
        QCOMPARE(edit->cursorPosition(), 1);

        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("1a2b3"));
        QCOMPARE(edit->text(), QStringLiteral("123"));
        QCOMPARE(f.rows().RowAddress[5], 123);
        QCOMPARE(PanelColour(f, 5), Colors::MarkChanged);

        // Emptied, a letter leaves it empty; a sign is on its way to a number.
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_X);
        QCOMPARE(edit->text(), QString());
        QTest::keyClicks(edit, QStringLiteral("-"));
        QCOMPARE(edit->text(), QStringLiteral("-"));
        QTest::keyClicks(edit, QStringLiteral("z"));
        QCOMPARE(edit->text(), QStringLiteral("-"));
        QCOMPARE(f.rows().RowAddress[5], 123);
        QVERIFY(t.dialogs.calls.isEmpty());
    }

    // A row whose write was not read back as written is marked on its label, which stands out
    // among the rows in colours that are none of the address edits' red and green, and says why.
    void failedRowStandsOut() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        f.show();
        AddressRows &rows = f.rows();
        rows.RowState.fill(AddressRows::Verified);
        rows.RowAddress[9] = 230;
        rows.RowGreen[9] = false;
        rows.RowAddress[10] = 231;
        rows.RowGreen[10] = true;
        rows.RowState[9] = AddressRows::Failed;
        rows.RowState[10] = AddressRows::Failed;
        f.ShowAddressRows();
        auto *plain = Find<QLabel>(&f, "lbl_adr_8");
        const QColor window = f.palette().color(QPalette::Window);
        QCOMPARE(plain->palette().color(QPalette::Window), window);
        for (int row : {9, 10}) {
            auto *label = Find<QLabel>(&f, qPrintable(QStringLiteral("lbl_adr_%1").arg(row)));
            const QColor ground = label->palette().color(QPalette::Window);
            QCOMPARE(ground, Colors::RowFailedLabel);
            for (const QColor &other : {window, Colors::AddressRed, Colors::AddressGreen,
                                        Colors::MarkFailed, Colors::MarkReceived}) {
                QVERIFY(ground != other);
            }
            QCOMPARE(label->palette().color(QPalette::WindowText), Colors::RowFailedText);
            QVERIFY(label->toolTip().startsWith(QStringLiteral("Adresse für Anfahren")));
            QVERIFY(label->toolTip().contains(QStringLiteral("nicht so zurückgelesen")));
            // As the window draws it.
            const QImage shown = label->grab().toImage();
            QCOMPARE(shown.pixelColor(shown.width() - 2, shown.height() - 2), ground);
            QCOMPARE(PanelColour(f, row), Colors::MarkFailed);
        }
        // Written again and read back: the mark goes, also from an edit that has the focus.
        Edit(&f, 9)->setFocus();
        rows.RowState[9] = AddressRows::Verified;
        f.ShowAddressRows();
        auto *label = Find<QLabel>(&f, "lbl_adr_9");
        QCOMPARE(label->palette().color(QPalette::Window), window);
        QCOMPARE(label->palette().color(QPalette::WindowText),
                 f.palette().color(QPalette::WindowText));
        QCOMPARE(label->toolTip(), QStringLiteral("Adresse für Anfahren dieser Position"));
        // An address out of range still shows its own mark.
        rows.RowAddress[9] = 3000;
        Edit(&f, 8)->setFocus();
        f.ShowAddressRows();
        QCOMPARE(label->palette().color(QPalette::Window), Colors::MarkFailed);
    }

    void redGreenAndEditColours() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        QCOMPARE(Edit(&f, 3)->palette().color(QPalette::Base), f.palette().color(QPalette::Base));
        f.rows().RowAddress[3] = 228;
        f.ShowAddressRows();
        QCOMPARE(Edit(&f, 3)->palette().color(QPalette::Base), Colors::AddressGreen);
        QTest::mouseClick(Find<QPushButton>(&f, "btn_rg_3"), Qt::LeftButton);
        QVERIFY(!f.rows().RowGreen[3]);
        QCOMPARE(f.rows().RowState[3], int(AddressRows::Changed));
        QCOMPARE(Edit(&f, 3)->palette().color(QPalette::Base), Colors::AddressRed);
        QCOMPARE(Find<QLabel>(&f, "pnl_adr_3")->toolTip(),
                 QStringLiteral("Status: Daten geändert und noch nicht in Gruben-Platine "
                                "geschrieben"));
        f.btn_rgClick(3);
        QVERIFY(f.rows().RowGreen[3]);
    }

    // The edit shows the address the row holds, all of it; an address out of range is marked
    // on its row as soon as the edit is left, without a box.
    void addressEditShowsWhatIsStored() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        f.show();
        QLineEdit *edit = Edit(&f, 0);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("99999"));
        QCOMPARE(edit->text(), QStringLiteral("9999"));
        QCOMPARE(f.rows().RowAddress[0], 9999);
        // Wide enough to show every digit it takes.
        QVERIFY(edit->fontMetrics().horizontalAdvance(QStringLiteral("9999")) <=
                edit->contentsRect().width() - edit->textMargins().left() -
                    edit->textMargins().right() - 2);
        auto *label = Find<QLabel>(&f, "lbl_adr_0");
        const QColor plain = label->palette().color(QPalette::Window);
        QCOMPARE(plain, f.palette().color(QPalette::Window));
        QTest::keyClick(edit, Qt::Key_Return); // the edit is left
        QCOMPARE(label->palette().color(QPalette::Window), Colors::MarkFailed);
        QVERIFY(edit->toolTip().contains(QStringLiteral("Licht")));
        QVERIFY(edit->toolTip().contains(QStringLiteral("320")));
        QVERIFY(t.dialogs.calls.isEmpty());
        // Back in range: the mark goes.
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("225"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(label->palette().color(QPalette::Window), plain);
        QVERIFY(edit->toolTip().isEmpty());
        // The labels of the position rows claim no position before one is known.
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_4")->text(), QStringLiteral("P:?"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_27")->text(), QStringLiteral("P:?"));
    }

    // Names of the positions: in the buttons' tool tips and in the picture, edited with a right
    // click on the button.
    void positionNames() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        t.state.PositionCount = 8;
        f.ShowDefinition();
        f.DrawTurntable();
        auto *button = Find<QPushButton>(&f, "PositionButton3");
        QVERIFY(button->toolTip().contains(QStringLiteral("Position 3\n")));
        const QImage plain = f.picture()->image().copy();

        t.dialogs.texts = {QStringLiteral(" Lokschuppen ")};
        const int drawn = t.state.stationRevision();
        emit button->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(t.dialogs.count("text"), 1);
        QCOMPARE(t.dialogs.calls.last().caption, QStringLiteral("Positionsname"));
        QCOMPARE(t.state.station.PositionName[3], QStringLiteral("Lokschuppen"));
        QVERIFY(button->toolTip().contains(QStringLiteral("Position 3: Lokschuppen")));
        QVERIFY(t.state.stationRevision() != drawn); // the operation tab follows
        QVERIFY(f.picture()->image() != plain);

        // Cancelled: kept. Empty: the number again, and the picture as before.
        emit button->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(t.state.station.PositionName[3], QStringLiteral("Lokschuppen"));
        t.dialogs.texts = {QStringLiteral("  ")};
        emit button->customContextMenuRequested(QPoint(2, 2));
        QCOMPARE(t.state.station.PositionName[3], QStringLiteral("3"));
        QCOMPARE(f.picture()->image(), plain);
    }

    // A redraw of the picture repaints a position button only when it moved or the picture
    // under it changed.
    void redrawRepaintsOnlyChangedButtons_data() {
        QTest::addColumn<int>("positions");
        QTest::newRow("48") << 48;
        QTest::newRow("8") << 8;
    }
    void redrawRepaintsOnlyChangedButtons() {
        QFETCH(int, positions);
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        t.state.PositionCount = positions;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.ShowDefinition();
        f.DrawTurntable();
        PaintCounter picture;
        PaintCounter buttons;
        f.picture()->installEventFilter(&picture);
        for (int i = 1; i <= positions; ++i) {
            Find<QPushButton>(&f, qPrintable(QStringLiteral("PositionButton%1").arg(i)))
                ->installEventFilter(&buttons);
        }
        QCoreApplication::processEvents();

        // The switch line: nothing under a button changes.
        picture.count = 0;
        Find<QCheckBox>(&f, "cbx_umschaltlinie")->click();
        QVERIFY(QTest::qWaitFor([&] { return picture.count > 0; }, 5000));
        QCoreApplication::processEvents();
        QCOMPARE(buttons.count, 0);
        buttons.count = 0;
        f.DrawTurntable();
        QVERIFY(QTest::qWaitFor([&] { return picture.count > 0; }, 5000));
        QCoreApplication::processEvents();
        QCOMPARE(buttons.count, 0);

        // A position taken out of use: at most its own button, whose ground lost its number.
        picture.count = 0;
        buttons.count = 0;
        f.PositionButtonClick(2);
        QVERIFY(QTest::qWaitFor([&] { return picture.count > 0; }, 5000));
        QCoreApplication::processEvents();
        QVERIFY2(buttons.count <= 2, qPrintable(QString::number(buttons.count)));

        // A new zero offset moves every button: all of them are repainted (the count works).
        picture.count = 0;
        buttons.count = 0;
        Find<QSpinBox>(&f, "UpDown_Offset")->setValue(3);
        QVERIFY(QTest::qWaitFor([&] { return buttons.count >= positions; }, 5000));
    }

    void renumberingWithGaps() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.PositionCount = 48;
        for (int p = 1; p <= 48; ++p) {
            s.station.PositionUsed[size_t(p)] = p == 1 || p == 3 || p == 5;
        }
        f.rows().ApplyPreset(0);
        f.rows().RowState.fill(AddressRows::Verified);
        f.ShowAddressRows();
        auto *combo = Find<QComboBox>(&f, "ComboBox_adr");
        auto *go = Find<QPushButton>(&f, "btn_adr_go");
        QVERIFY(!go->isEnabled());
        combo->setCurrentIndex(5);
        QVERIFY(go->isEnabled());
        QTest::mouseClick(go, Qt::LeftButton);

        QCOMPARE(f.rows().PositionNumber[0], 0);
        QCOMPARE(f.rows().PositionNumber[1], 2);
        QCOMPARE(f.rows().PositionNumber[2], 4);
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_4")->text(), QStringLiteral("P:1"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_5")->text(), QStringLiteral("P:3"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_6")->text(), QStringLiteral("P:5"));
        QCOMPARE(f.rows().RowAddress[5], 229); // addresses of numbered rows stay
        for (int j = 3; j < 24; ++j) {
            QCOMPARE(f.rows().PositionNumber[j], 255);
            QCOMPARE(f.rows().RowAddress[j + 4], 0);
            QVERIFY(
                Find<QLabel>(&f, qPrintable(QStringLiteral("lbl_adr_%1").arg(j + 4)))->isHidden());
        }
        for (int k = 4; k < 28; ++k) {
            QCOMPARE(PanelColour(f, k), Colors::MarkChanged);
        }
        QCOMPARE(f.rows().RowState[0], int(AddressRows::Verified));
        // The next drawing shows the rows again; a row that serves no position keeps its label
        // hidden.
        f.DrawTurntable();
        QVERIFY(!Edit(&f, 20)->isHidden());
        QVERIFY(Find<QLabel>(&f, "lbl_adr_20")->isHidden());
        QVERIFY(!Find<QLabel>(&f, "lbl_adr_6")->isHidden());
    }

    void undoRestoresTheMirror() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        AddressRows &rows = f.rows();
        LoadStandard(rows);
        rows.StoreAddressesInImage();
        rows.StorePositionNumbersInImage();
        Edit(&f, 10)->setText(QStringLiteral("999"));
        f.btn_rgClick(11);
        rows.ApplyPreset(4);
        QVERIFY(f.HasUnwrittenChanges());
        QTest::mouseClick(Find<QPushButton>(&f, "btn_undo"), Qt::LeftButton);
        QCOMPARE(rows.RowAddress[10], 232);
        QCOMPARE(rows.RowGreen[11], true);
        QCOMPARE(rows.RowAddress[0], 225);
        QCOMPARE(rows.PositionNumber[23], 23);
        QCOMPARE(Edit(&f, 10)->text(), QStringLiteral("232"));
        QVERIFY(!f.HasUnwrittenChanges()); // the PC's changes are gone
    }

    // -----------------------------------------------------------------------------------------
    // The frame

    void controlsAndNames() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        QCOMPARE(f.objectName(), QStringLiteral("TFrameDefinition"));
        for (const char *name :
             {"pnl_definition", "tt_Image1", "Label1", "btn_write_adr", "btn_read_adr",
              "ProgressBar3", "btn_adr_go", "btn_undo", "cbx_use_mm", "btn_all", "bnt_none",
              "cbx_umschaltlinie", "cbx_umdrehen"}) {
            QVERIFY2(f.findChild<QWidget *>(QLatin1String(name)), name);
        }
        QVERIFY(f.findChild<QTimer *>("Timer5"));
        QCOMPARE(Find<QGroupBox>(&f, "GroupBox_Darstellung")->title(),
                 QStringLiteral("Anpassen der Drehscheiben-Darstellung"));
        QCOMPARE(Find<QGroupBox>(&f, "GroupBox_Adressen")->title(), QStringLiteral("Adressen"));
        QCOMPARE(Find<QPushButton>(&f, "btn_undo")->text(), QStringLiteral("Rüchgängig"));
        QCOMPARE(Find<QSpinBox>(&f, "UpDown_Offset")->toolTip(),
                 QStringLiteral("ermöglicht, dass die Bildschirm-Anzeige der tatsächlichen "
                                "Gleis-Nummerrierung entspricht "));
        auto *combo = Find<QComboBox>(&f, "ComboBox_adr");
        QCOMPARE(combo->count(), 6);
        QCOMPARE(combo->itemText(0), QStringLiteral("Adressen Standard"));
        QCOMPARE(combo->itemText(5), QStringLiteral("Positionen neu nummerieren (für DIP3 = ON)"));
        QCOMPARE(combo->currentIndex(), -1);
        for (int i = 1; i <= 48; ++i) {
            QVERIFY(f.findChild<QPushButton *>(QStringLiteral("PositionButton%1").arg(i)));
        }
        for (int k = 0; k < 28; ++k) {
            for (const char *prefix : {"lbl_adr_", "edt_adr_", "pnl_adr_", "btn_rg_"}) {
                const QString name = QLatin1String(prefix) + QString::number(k);
                QVERIFY2(f.findChild<QWidget *>(name), qPrintable(name));
            }
        }
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_0")->text(), QStringLiteral("Licht"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_3")->text(), QStringLiteral("DIR"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_27")->toolTip(),
                 QStringLiteral("Adresse für Anfahren dieser Position"));
        // Three columns of rows, 25 pixels apart, 130 apart side by side.
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_0")->pos(), QPoint(10, 30));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_10")->pos(), QPoint(10, 280));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_11")->pos(), QPoint(140, 30));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_22")->pos(), QPoint(270, 30));
        // The label ends 2 pixels before its edit: "Licht" and "Light" need the room.
        QCOMPARE(Edit(&f, 22)->geometry(), QRect(301, 26, 30, 20));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_22")->geometry().right(), 301 - 3);
        QCOMPARE(Find<QPushButton>(&f, "btn_rg_27")->geometry(), QRect(351, 155, 30, 16));
        QCOMPARE(Find<QLabel>(&f, "pnl_adr_27")->geometry(), QRect(333, 153, 10, 16));
    }

    void layout_data() {
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<int>("side");
        QTest::newRow("tall enough") << QSize(900, 500) << 485;
        QTest::newRow("narrow") << QSize(700, 500) << 407;
        QTest::newRow("too small") << QSize(200, 100) << 0;
    }
    void layout() {
        QFETCH(QSize, panel);
        QFETCH(int, side);
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        f.resize(panel);
        f.DrawTurntable();
        auto *picture = Find<TurntablePicture>(&f, "tt_Image1");
        QCOMPARE(picture->size(), QSize(side, side));
        auto *top = Find<QGroupBox>(&f, "GroupBox_Darstellung");
        auto *addresses = Find<QGroupBox>(&f, "GroupBox_Adressen");
        QCOMPARE(top->pos(), QPoint(side + 15, 8));
        QCOMPARE(addresses->x(), side + 15);
        QCOMPARE(addresses->y(), 8 + 105 + 3);
        QCOMPARE(addresses->width(), std::max(0, panel.width() - side - 15 - 10));
        QCOMPARE(addresses->height(), std::max(0, side - 116));
        if (side > 0) {
            auto *write = Find<QPushButton>(&f, "btn_write_adr");
            QCOMPARE(write->y() + write->height() + 6, addresses->height());
            QCOMPARE(Find<QPushButton>(&f, "btn_read_adr")->y(), write->y());
            auto *bar = Find<QProgressBar>(&f, "ProgressBar3");
            QCOMPARE(bar->y() + bar->height() + 6, write->y());
            auto *mm = Find<QCheckBox>(&f, "cbx_use_mm");
            auto *read = Find<QPushButton>(&f, "btn_read_adr");
            QCOMPARE(mm->pos(), QPoint(read->x() + read->width() + 10, write->y() + 3));
        }
    }

    void positionButtons() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.PositionCount = 24;
        for (int p = 1; p <= 48; ++p) {
            s.station.PositionUsed[size_t(p)] = p % 2 == 0;
        }
        f.rows().RowAddress[4] = 99;
        f.DrawTurntable();
        auto *b3 = Find<QPushButton>(&f, "PositionButton3");
        auto *b4 = Find<QPushButton>(&f, "PositionButton4");
        QVERIFY(!b3->isHidden() && !b4->isHidden());
        QVERIFY(Find<QPushButton>(&f, "PositionButton25")->isHidden());
        // What a click does, then the position and how to name it.
        QCOMPARE(b3->toolTip(), QStringLiteral("Gleis aktivieren\nPosition 3\nRechtsklick: Namen "
                                               "der Position ändern"));
        QVERIFY(b4->toolTip().startsWith(QStringLiteral("Gleis deaktivieren\nPosition 4\n")));

        int revision = s.stationRevision();
        QTest::mouseClick(b4, Qt::LeftButton);
        QVERIFY(!s.station.PositionUsed[4]);
        QVERIFY(b4->toolTip().startsWith(QStringLiteral("Gleis aktivieren\n")));
        QVERIFY(s.stationRevision() != revision);
        QCOMPARE(f.rows().RowAddress[4], 99); // the rows are not touched

        QTest::mouseClick(Find<QPushButton>(&f, "btn_all"), Qt::LeftButton);
        for (int p = 1; p <= 48; ++p) {
            QCOMPARE(s.station.PositionUsed[size_t(p)], p <= 24 || p % 2 == 0);
        }
        QTest::mouseClick(Find<QPushButton>(&f, "bnt_none"), Qt::LeftButton);
        for (int p = 1; p <= 48; ++p) {
            QCOMPARE(s.station.PositionUsed[size_t(p)], p > 24 && p % 2 == 0);
        }
        QVERIFY(Find<QPushButton>(&f, "PositionButton26")->isHidden());
    }

    void pictureShowsThePositionsInUse() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.station.ReverseCounting = false;
        s.station.ZeroOffset = 0;
        s.station.PositionUsed[12] = false;
        f.DrawTurntable();
        auto *picture = Find<TurntablePicture>(&f, "tt_Image1");
        const TurntableGeometry g(picture->width(), picture->height(), 48, 0, false);
        auto pixel = [&](int i) {
            return QColor(picture->image().pixel(g.Point(g.PositionAngle(i), g.Radius(37.0f))));
        };
        QCOMPARE(pixel(48), Colors::TrackLine);
        QCOMPARE(pixel(36), Colors::TrackLine);
        QCOMPARE(pixel(12), Colors::PitRing); // not in use: only the ring
        // Position 48 lies at 3 o'clock, its button right of the ring.
        auto *b48 = Find<QPushButton>(&f, "PositionButton48");
        QVERIFY(b48->x() > picture->x() + g.cx() + g.Radius(38.0f));
        QVERIFY(std::abs(b48->y() + 7 - (picture->y() + g.cy())) < 10);
        // Reversed counting mirrors: position 12 goes to the top.
        s.station.ReverseCounting = true;
        f.DrawTurntable();
        QVERIFY(Find<QPushButton>(&f, "PositionButton12")->y() < picture->y() + g.cy());
    }

    void showDefinitionAndStationData() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.PositionCount = 48;
        s.station.ZeroOffset = 50; // beyond a whole turn: draws like 2
        s.station.ReverseCounting = false;
        s.station.ShowSwitchLine = false;
        s.station.UseMotorola = false;
        const int shownAt = s.stationRevision();
        f.ShowDefinition();
        auto *offset = Find<QSpinBox>(&f, "UpDown_Offset");
        QCOMPARE(offset->minimum(), -48);
        QCOMPARE(offset->maximum(), 48);
        QCOMPARE(offset->value(), 2);
        QCOMPARE(s.station.ZeroOffset, 2);
        QVERIFY(!Find<QCheckBox>(&f, "cbx_umdrehen")->isChecked());
        QVERIFY(!Find<QCheckBox>(&f, "cbx_umschaltlinie")->isChecked());
        QVERIFY(!Find<QCheckBox>(&f, "cbx_use_mm")->isChecked());
        QCOMPARE(s.stationRevision(), shownAt); // showing is no user change

        offset->setValue(-48);
        QCOMPARE(s.station.ZeroOffset, -48);
        QVERIFY(s.stationRevision() != shownAt);
        int revision = s.stationRevision();
        Find<QCheckBox>(&f, "cbx_umdrehen")->click();
        QVERIFY(s.station.ReverseCounting);
        QVERIFY(s.stationRevision() != revision);
        Find<QCheckBox>(&f, "cbx_umschaltlinie")->click();
        QVERIFY(s.station.ShowSwitchLine);
        Find<QCheckBox>(&f, "cbx_use_mm")->click();
        QVERIFY(s.station.UseMotorola);

        // Shown again from other data: the handlers keep out.
        s.station.ReverseCounting = false;
        s.station.UseMotorola = false;
        revision = s.stationRevision();
        f.ShowDefinition();
        QVERIFY(!s.station.ReverseCounting && !s.station.UseMotorola);
        QCOMPARE(s.stationRevision(), revision);
        QVERIFY(!Find<QCheckBox>(&f, "cbx_umdrehen")->isChecked());
    }

    void onlineState() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        auto *read = Find<QPushButton>(&f, "btn_read_adr");
        auto *write = Find<QPushButton>(&f, "btn_write_adr");
        QVERIFY(!read->isEnabled() && !write->isEnabled());
        t.line.Set(true);
        f.UpdateDefinitionButtons();
        QVERIFY(read->isEnabled() && write->isEnabled());
        f.btn_read_adrClick();
        t.line.Set(false);
        f.UpdateDefinitionButtons();
        t.line.Set(true);
        f.UpdateDefinitionButtons();
        QVERIFY(read->isEnabled()); // "Abbruch"
        QVERIFY(!write->isEnabled());
        t.line.Set(false);
        f.UpdateDefinitionButtons();
        QVERIFY(!read->isEnabled() && !write->isEnabled());
    }
};

QTEST_MAIN(TestDefinition)
#include "tst_definition.moc"
