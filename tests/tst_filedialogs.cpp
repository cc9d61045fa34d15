// The file dialogs' start: folder, name filters and default suffix, decided without a dialog, and a
// file dialog built from them (constructed, never shown).

#include "core/configuration/configfile.h"
#include "gui/window/qtdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void filterListFromQtsForm() {
        const FileDialogStart start =
            PlanFileDialog(ConfigFile::Filter(), ConfigFile::DefaultSuffix, QString(), QString());
        QCOMPARE(start.nameFilters,
                 QStringList({QStringLiteral("PVT (*.pvt)"), QStringLiteral("TXT (*.txt)"),
                              QStringLiteral("Alle Dateien (*)")}));
        QCOMPARE(start.defaultSuffix, QStringLiteral("pvt"));

        // Blanks around the parts and empty parts are no filters of their own.
        QCOMPARE(PlanFileDialog(QStringLiteral(" A (*.a) ;;;;B (*.b *.c);;"), QString(), QString(),
                                QString())
                     .nameFilters,
                 QStringList({QStringLiteral("A (*.a)"), QStringLiteral("B (*.b *.c)")}));
        QVERIFY(PlanFileDialog(QString(), QString(), QString(), QString()).nameFilters.isEmpty());
    }

    void suffixFollowsTheFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("pvt") << "PVT (*.pvt)"
                             << "pvt";
        QTest::newRow("txt") << "TXT (*.txt)"
                             << "txt";
        QTest::newRow("all files") << "Alle Dateien (*)"
                                   << "pvt";
        QTest::newRow("any suffix") << "Alle (*.*)"
                                    << "pvt";
        QTest::newRow("first of several") << "Bilder (*.png *.jpg)"
                                          << "png";
        QTest::newRow("wildcard suffix") << "Sicherung (*.pv?)"
                                         << "pvt";
        QTest::newRow("two-part suffix") << "Archiv (*.tar.gz)"
                                         << "tar.gz";
        QTest::newRow("patterns alone") << "*.ini"
                                        << "ini";
        QTest::newRow("parentheses in the name") << "Station (alt) (*.st)"
                                                 << "st";
        QTest::newRow("no pattern") << "Dateien"
                                    << "pvt";
    }
    void suffixFollowsTheFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, suffix);
        QCOMPARE(SuffixForFilter(filter, QStringLiteral("pvt")), suffix);
    }

    void startingFolder() {
        QTemporaryDir documents;
        QTemporaryDir used;
        QVERIFY(documents.isValid() && used.isValid());
        const QString filter = ConfigFile::Filter();

        // The first time (nothing used yet in this run): the documents folder.
        QCOMPARE(PlanFileDialog(filter, QString(), QString(), documents.path()).folder,
                 documents.path());
        // Then the folder used last.
        QCOMPARE(PlanFileDialog(filter, QString(), used.path(), documents.path()).folder,
                 used.path());
        // A relative name is made absolute, so that it does not follow the current directory.
        QDir here(documents.path());
        QVERIFY(here.mkdir(QStringLiteral("sub")));
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(documents.path()));
        const QString relative =
            PlanFileDialog(filter, QString(), QStringLiteral("sub"), QString()).folder;
        QVERIFY(QDir::setCurrent(current));
        QCOMPARE(relative, documents.filePath(QStringLiteral("sub")));

        // A folder that went away since (removed, unmounted) is passed over.
        const QString gone = used.path();
        QVERIFY(used.remove());
        QCOMPARE(PlanFileDialog(filter, QString(), gone, documents.path()).folder,
                 documents.path());
        // A file is no folder to open in.
        const QString file = documents.filePath(QStringLiteral("station.pvt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(PlanFileDialog(filter, QString(), file, documents.path()).folder,
                 documents.path());

        // Without a documents folder (not every desktop creates one): the home folder.
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        const QString fallback =
            PlanFileDialog(filter, QString(), gone, documents.filePath(QStringLiteral("nix")))
                .folder;
        // The home folder as the system names it (on Windows the profile, whatever HOME says).
        const QString homeFolder = QDir::homePath();
        qputenv("HOME", savedHome);
        QCOMPARE(fallback, homeFolder);
        QVERIFY(fallback != documents.path());
    }

    void dialogBuiltFromTheStart() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const FileDialogStart start = PlanFileDialog(
            ConfigFile::Filter(), ConfigFile::DefaultSuffix, folder.path(), QString());
        const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(nullptr, start);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->nameFilters(), start.nameFilters);
        QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("PVT (*.pvt)"));
        QCOMPARE(QDir(dialog->directory()).absolutePath(), folder.path());
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("pvt"));
        // Empty file name at first.
        QVERIFY(dialog->selectedFiles().isEmpty() ||
                QFileInfo(dialog->selectedFiles().first()).isDir());

        // Choosing another filter in the dialog changes the suffix a bare name gets.
        emit dialog->filterSelected(QStringLiteral("TXT (*.txt)"));
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("txt"));
        emit dialog->filterSelected(QStringLiteral("Alle Dateien (*)"));
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("pvt"));

        // A first filter with a suffix of its own starts with that one.
        const std::unique_ptr<QFileDialog> text = MakeFileDialog(
            nullptr, PlanFileDialog(QStringLiteral("TXT (*.txt);;Alle Dateien (*)"),
                                    QStringLiteral("pvt"), folder.path(), QString()));
        QCOMPARE(text->defaultSuffix(), QStringLiteral("txt"));
        emit text->filterSelected(QStringLiteral("Alle Dateien (*)"));
        QCOMPARE(text->defaultSuffix(), QStringLiteral("pvt"));
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
