// The station sheet read back from its PDF, as a user prints it: its texts in both languages, the
// tables flowing onto further pages for 48 named positions, the turntable picture on the first
// page, and the command line that writes it from a file without a display.

#include "comm/sharedstate.h"
#include "core/backup/backupfile.h"
#include "core/settings/language.h"
#include "core/settings/settingsfile.h"
#include "core/sheet/stationsheet.h"
#include "fixtures/pivotarun.h"
#include "gui/sheet/sheetprinter.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
size_t at(int i) {
    return static_cast<size_t>(i);
}

bool HasPoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

QString PdfText(const QString &pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The first page at 40 pixels per inch.
QImage FirstPage(const QString &pdf, const QString &dir) {
    const QString prefix = dir + QStringLiteral("/page");
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                       QStringLiteral("1"), QStringLiteral("-r"), QStringLiteral("40"),
                       QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// A backup of a station whose 48 positions all have long names.
QString WriteStation(const QString &dir) {
    Backup::Image image;
    for (int cell = 0; cell < Backup::Cells; ++cell) {
        image.pit[at(cell)] = Backup::Cell::Of(cell % 48);
        image.bridge[at(cell)] = Backup::Cell::Of(1);
    }
    image.pit[3] = {Backup::Cell::State::Unconfirmed, 0};
    SharedState state;
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        state.station.PositionUsed[at(i)] = true;
        state.station.PositionName[at(i)] = QStringLiteral("Lokschuppen Nordseite %1").arg(i);
    }
    const QString path = dir + QStringLiteral("/Bahnhof.pvt");
    QString error;
    Backup::SaveBackup(path, ProgramSettings(), state, image,
                       {QDateTime::currentDateTime(), QStringLiteral("1.0")}, &error);
    return path;
}
} // namespace

class TestSheetPrinter : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!HasPoppler()) {
            QSKIP("pdftotext and pdftoppm (poppler-utils) are not installed");
        }
    }

    void sheetReadBack_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("de") << false
                            << QStringList{QStringLiteral("Stationsblatt: Bahnhof"),
                                           QStringLiteral("Zubehör-Adressen"),
                                           QStringLiteral("Prüfsumme stimmt"),
                                           QStringLiteral("Zellen ohne bestätigten Wert"),
                                           QStringLiteral("Seite 1 von")};
        QTest::newRow("en") << true
                            << QStringList{QStringLiteral("Station sheet: Bahnhof"),
                                           QStringLiteral("Accessory addresses"),
                                           QStringLiteral("checksum correct"),
                                           QStringLiteral("Cells without a"),
                                           QStringLiteral("Page 1 of")};
    }
    void sheetReadBack() {
        QFETCH(bool, english);
        QFETCH(QStringList, texts);
        if (english) {
            QVERIFY(InstallTranslations(*QCoreApplication::instance(), Language::English,
                                        {QStringLiteral(PIVOTA_TRANSLATIONS_DIR)}));
        }
        QTemporaryDir dir;
        StationSheet::Content content;
        QString error;
        QVERIFY2(StationSheet::FromFile(WriteStation(dir.path()), QString(),
                                        QDateTime::currentDateTime(), QStringLiteral("9.9"),
                                        &content, &error),
                 qPrintable(error));
        const QString pdf = dir.filePath(QStringLiteral("blatt.pdf"));
        QVERIFY2(SheetPrinter::WritePdf(pdf, content, &error), qPrintable(error));

        const QString text = PdfText(pdf);
        for (const QString &t : texts) {
            QVERIFY2(text.contains(t), qPrintable(t));
        }
        QVERIFY(text.contains(QStringLiteral("Lokschuppen Nordseite 48")));
        QVERIFY(text.contains(QStringLiteral("Seite 2 von")) ||
                text.contains(QStringLiteral("Page 2 of")));

        // The picture's ring in the upper half of the first page: grey and red pixels, not
        // only white paper and black text.
        const QImage page = FirstPage(pdf, dir.path());
        QVERIFY(!page.isNull());
        int coloured = 0;
        for (int y = page.height() / 8; y < page.height() / 2; ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                coloured += c.red() > 150 && c.green() < 100 ? 1 : 0;
            }
        }
        QVERIFY2(coloured > 20, qPrintable(QString::number(coloured)));
    }

    void commandLineWritesTheSheet() {
        QTemporaryDir dir;
        const QString station = WriteStation(dir.path());
        const QString pdf = dir.filePath(QStringLiteral("aus.pdf"));
        const PivotaRun::Run ok =
            PivotaRun::RunPivota({QStringLiteral("sheet"), QStringLiteral("--lang"),
                                  QStringLiteral("de"), station, pdf});
        QVERIFY2(ok.code == 0, qPrintable(ok.err));
        QVERIFY(PdfText(pdf).contains(QStringLiteral("Lokschuppen Nordseite 1")));
        const PivotaRun::Run missing = PivotaRun::RunPivota(
            {QStringLiteral("sheet"), dir.filePath(QStringLiteral("fehlt.pvt")), pdf});
        QCOMPARE(missing.code, 2);
    }
};

QTEST_MAIN(TestSheetPrinter)
#include "tst_sheetprinter.moc"
