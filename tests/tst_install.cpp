// The installed program: cmake --install into a temporary prefix, and the Debian package that
// cpack builds from the same rules, checked with Debian's own tools where they are installed
// (desktop-file-validate always; appstreamcli and lintian, which CI installs).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Exec(const QString &program, const QStringList &arguments, int timeoutMs = 110000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    Run r;
    if (!p.waitForStarted()) {
        r.err = QStringLiteral("%1 did not start: %2").arg(program, p.errorString());
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not finish within %2 s (%3); its output so far:\n%4%5")
                    .arg(program)
                    .arg(timeoutMs / 1000)
                    .arg(p.errorString(), QString::fromUtf8(p.readAllStandardOutput()),
                         QString::fromUtf8(p.readAllStandardError()));
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray Bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Text(const QString &path) {
    return QString::fromUtf8(Bytes(path));
}

// The text of a gzip file, through gzip itself.
QString Gunzipped(const QString &path) {
    const Run r = Exec(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    return r.code == 0 ? r.out : QString();
}

// gzip -9n: no file name and no time stamp in the header (the same bytes on every build), and the
// best compression.
bool GzipNineN(const QString &path, QString *why) {
    const QByteArray b = Bytes(path);
    if (b.size() < 10 || uchar(b[0]) != 0x1f || uchar(b[1]) != 0x8b) {
        *why = path + QStringLiteral(": not gzip");
        return false;
    }
    const bool hasName = uchar(b[3]) & 0x08;
    const bool hasTime = b[4] || b[5] || b[6] || b[7];
    const bool best = uchar(b[8]) == 2;
    *why = QStringLiteral("%1: name %2, time %3, best compression %4")
               .arg(path)
               .arg(hasName)
               .arg(hasTime)
               .arg(best);
    return !hasName && !hasTime && best;
}

// "Key=value" of the [Desktop Entry] group.
QString DesktopValue(const QString &text, const QString &key) {
    for (const QString &line : text.split(u'\n')) {
        if (line.startsWith(key + u'=')) {
            return line.mid(key.size() + 1);
        }
    }
    return QString();
}

// The root element's name and the text of the first element of each name.
bool ReadXml(const QString &path, QString *root, QHash<QString, QString> *firstText = nullptr) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const QString name = xml.name().toString();
        if (root->isEmpty()) {
            *root = name;
        } else if (firstText && !firstText->contains(name)) {
            firstText->insert(name, xml.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    return !xml.hasError();
}

// A machine-readable copyright file in paragraphs of "Field: value" lines; continuation lines
// start with a blank and belong to the field before.
using Paragraph = QHash<QString, QString>;
QList<Paragraph> Paragraphs(const QString &text) {
    QList<Paragraph> out;
    Paragraph p;
    QString field;
    for (const QString &line : text.split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            if (!p.isEmpty()) {
                out << p;
            }
            p.clear();
        } else if (line.startsWith(u' ') && !field.isEmpty()) {
            p[field] += u'\n' + line.mid(1);
        } else {
            field = line.section(u':', 0, 0);
            p[field] = line.section(u':', 1, -1).trimmed();
        }
    }
    if (!p.isEmpty()) {
        out << p;
    }
    return out;
}

// Lintian's tags that this package shows and accepts, each for a reason a package built by CMake
// on a developer's machine cannot avoid. Any other tag fails the test; errors are never accepted.
const QHash<QString, QString> &AcceptedLintianTags() {
    static const QHash<QString, QString> tags = {
        {QStringLiteral("hardening-no-bindnow"),
         QStringLiteral("the programs are built with the project's CMake flags, not with the "
                        "hardening flags a Debian source build gets from dpkg-buildflags")},
        {QStringLiteral("hardening-no-fortify-functions"),
         QStringLiteral("as hardening-no-bindnow: _FORTIFY_SOURCE comes from dpkg-buildflags")},
        {QStringLiteral("binary-has-unneeded-section"),
         QStringLiteral("CPack strips with plain strip, which keeps the compiler's .comment "
                        "note; dh_strip would remove it")},
    };
    return tags;
}

// German words of the interface's source texts that lintian's English word list takes for
// misspellings ("spelling-error-in-binary Programm Program").
bool IsGermanWord(const QString &tagLine) {
    static const QStringList german = {QStringLiteral("Programm"), QStringLiteral("Programms")};
    const QStringList words = tagLine.split(u' ', Qt::SkipEmptyParts);
    return words.size() >= 4 && words.at(2) == QLatin1String("spelling-error-in-binary") &&
           german.contains(words.at(3));
}

// Lintian reads every string of the programs, the bytes of the pictures built into them as well
// (the icons, and the manual's pictures of the tabs, which every build draws anew): now and then a
// few letters between two other bytes form one of its misspelled words ("addd"). Such a word is in
// none of the program's sources, where a misspelling of the program's own texts would be.
bool IsPictureNoise(const QString &tagLine) {
    static const QString sources = [] {
        QString text;
        for (const char *folder : {"/src", "/sim"}) {
            QDirIterator it(QStringLiteral(PIVOTA_SOURCE_DIR) + QLatin1String(folder),
                            {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                text += Text(it.next());
            }
        }
        return text;
    }();
    const QStringList words = tagLine.split(u' ', Qt::SkipEmptyParts);
    if (sources.isEmpty() || words.size() < 4 ||
        words.at(2) != QLatin1String("spelling-error-in-binary")) {
        return false;
    }
    const QRegularExpression word(
        QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(words.at(3))),
        QRegularExpression::CaseInsensitiveOption);
    return !word.match(sources).hasMatch();
}

// Checks that need a tool CI installs: without it they are skipped, except in CI.
bool HaveTool(const QString &path, const char *message, const char *file, int line) {
    if (!path.isEmpty()) {
        return true;
    }
    if (qEnvironmentVariableIsSet("CI")) {
        QTest::qFail(message, file, line);
    } else {
        QTest::qSkip(message, file, line);
    }
    return false;
}
#define REQUIRE_TOOL(path, message)                                                                \
    if (!HaveTool(path, message, __FILE__, __LINE__))                                              \
    return
} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_prefix;   // the cmake --install tree
    QString m_deb;      // the package cpack built
    QString m_unpacked; // the package's files, unpacked
    QString m_appId;    // the AppStream id, from the installed metadata

    QString metainfoPath() const {
        return m_prefix + QStringLiteral("/share/metainfo/%1.metainfo.xml").arg(m_appId);
    }
    QString desktopPath() const {
        return m_prefix + QStringLiteral("/share/applications/%1.desktop").arg(m_appId);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_prefix = m_dir.filePath(QStringLiteral("usr"));
        const Run r = Exec(QStringLiteral(CMAKE_COMMAND),
                           {QStringLiteral("--install"), QStringLiteral(PIVOTA_BUILD_DIR),
                            QStringLiteral("--prefix"), m_prefix});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const QStringList metainfo = QDir(m_prefix + QStringLiteral("/share/metainfo"))
                                         .entryList({QStringLiteral("*.metainfo.xml")});
        QCOMPARE(metainfo.size(), 1);
        m_appId = metainfo.first().chopped(int(qstrlen(".metainfo.xml")));

        const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        QVERIFY2(!dpkgDeb.isEmpty(), "dpkg-deb is missing");
        const QString out = m_dir.filePath(QStringLiteral("package"));
        const Run build = Exec(
            QStringLiteral(CPACK_COMMAND),
            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
             QStringLiteral(PIVOTA_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out});
        QVERIFY2(build.code == 0, qPrintable(build.out + build.err));
        const QStringList debs = QDir(out).entryList({QStringLiteral("pivota_*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = QDir(out).filePath(debs.first());
        m_unpacked = m_dir.filePath(QStringLiteral("unpacked"));
        QCOMPARE(Exec(dpkgDeb, {QStringLiteral("-x"), m_deb, m_unpacked}).code, 0);
    }

    void programsAndFilesInTheirPlaces() {
        for (const char *program : {"bin/pivota", "bin/pivota-sim"}) {
            const QFileInfo info(m_prefix + u'/' + QLatin1String(program));
            QVERIFY2(info.isFile() && info.isExecutable(), program);
        }
        for (const QString &file :
             {desktopPath(), metainfoPath(),
              m_prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/pivota.svg"),
              m_prefix + QStringLiteral("/share/doc/pivota/copyright"),
              m_prefix + QStringLiteral("/share/doc/pivota/changelog.gz")}) {
            QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
        }
        // The user manual in both languages, each with the tabs' pictures it shows.
        for (const char *language : {"de", "en"}) {
            const QDir manual(m_prefix + QStringLiteral("/share/doc/pivota/manual/") +
                              QLatin1String(language));
            const QString text = Text(manual.filePath(QStringLiteral("index.html")));
            static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
            int pictures = 0;
            for (auto it = picture.globalMatch(text); it.hasNext(); ++pictures) {
                const QString file = manual.filePath(it.next().captured(1));
                QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
            }
            QVERIFY2(pictures > 0, language);
        }
        // Each manual page, compressed, names its program.
        QVERIFY(Gunzipped(m_prefix + QStringLiteral("/share/man/man1/pivota.1.gz"))
                    .startsWith(QLatin1String(".TH PIVOTA 1 ")));
        QVERIFY(Gunzipped(m_prefix + QStringLiteral("/share/man/man1/pivota-sim.1.gz"))
                    .startsWith(QLatin1String(".TH PIVOTA-SIM 1 ")));
        // The German pages, where man looks for a German locale, in German.
        QVERIFY(Gunzipped(m_prefix + QStringLiteral("/share/man/de/man1/pivota.1.gz"))
                    .contains(QLatin1String("BESCHREIBUNG")));
        QVERIFY(Gunzipped(m_prefix + QStringLiteral("/share/man/de/man1/pivota-sim.1.gz"))
                    .contains(QLatin1String("BESCHREIBUNG")));
        // The English interface comes with the program.
        QVERIFY(
            QFileInfo(m_prefix + QStringLiteral("/share/pivota/translations/pivota_en.qm")).size() >
            0);
        const Run english =
            Exec(m_prefix + QStringLiteral("/bin/pivota"),
                 {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--help")});
        QVERIFY2(english.out.contains(QLatin1String("Language of the interface")),
                 qPrintable(english.out));

        // The installed program runs (the console options need no display).
        const Run v = Exec(m_prefix + QStringLiteral("/bin/pivota"), {QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QCOMPARE(v.out, QStringLiteral("pivota %1\n").arg(QStringLiteral(PIVOTA_VERSION)));
        const Run s =
            Exec(m_prefix + QStringLiteral("/bin/pivota-sim"), {QStringLiteral("--help")});
        QCOMPARE(s.code, 0);
    }

    void desktopEntryIconAndMetadataFitTogether() {
        const QString validator =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is missing");
        const Run r = Exec(validator, {desktopPath()});
        QVERIFY2(r.code == 0 && r.out.trimmed().isEmpty() && r.err.trimmed().isEmpty(),
                 qPrintable(r.out + r.err));

        // The menu entry starts the program by its own name and shows the installed icon.
        const QString text = Text(desktopPath());
        QCOMPARE(DesktopValue(text, QStringLiteral("Exec")).section(u' ', 0, 0),
                 QStringLiteral("pivota"));
        const QString icon = DesktopValue(text, QStringLiteral("Icon"));
        QString root;
        QVERIFY(ReadXml(m_prefix +
                            QStringLiteral("/share/icons/hicolor/scalable/apps/%1.svg").arg(icon),
                        &root));
        QCOMPARE(root, QStringLiteral("svg"));

        // The metadata's id is a reverse domain name, names its file and the menu entry that
        // launches it.
        root.clear();
        QHash<QString, QString> elements;
        QVERIFY(ReadXml(metainfoPath(), &root, &elements));
        QCOMPARE(root, QStringLiteral("component"));
        QCOMPARE(elements.value(QStringLiteral("id")), m_appId);
        QVERIFY2(QRegularExpression(QStringLiteral("^[a-z][a-z0-9_]*(\\.[a-z][a-z0-9_]*){2,}$"))
                     .match(m_appId)
                     .hasMatch(),
                 qPrintable(m_appId));
        QCOMPARE(elements.value(QStringLiteral("launchable")),
                 m_appId + QStringLiteral(".desktop"));
        QVERIFY(Text(metainfoPath()).contains(QLatin1String("<binary>pivota</binary>")));
    }

    void appstreamMetadataValidates() {
        const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        REQUIRE_TOOL(appstreamcli, "appstreamcli (Debian package appstream) is missing");
        // The metadata alone, then as installed: the tree check also finds the menu entry it
        // launches. Warnings fail as errors do; notes for information do not.
        for (const QStringList &arguments :
             {QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"), metainfoPath()},
              QStringList{QStringLiteral("validate-tree"), QStringLiteral("--no-net"),
                          m_dir.path()},
              QStringList{QStringLiteral("validate-tree"), QStringLiteral("--no-net"),
                          m_unpacked}}) {
            const Run r = Exec(appstreamcli, arguments);
            QVERIFY2(r.code == 0, qPrintable(arguments.join(u' ') + u'\n' + r.out + r.err));
        }
    }

    void debianPackageHoldsAndStarts() {
        const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        const Run fields = Exec(dpkgDeb, {QStringLiteral("-f"), m_deb});
        QCOMPARE(fields.code, 0);
        QVERIFY(fields.out.contains(QStringLiteral("Package: pivota\n")));
        QVERIFY(fields.out.contains(
            QStringLiteral("Version: %1\n").arg(QStringLiteral(PIVOTA_VERSION))));
        // The libraries the programs link come as dependencies.
        QVERIFY2(fields.out.contains(QLatin1String("libqt6widgets6")), qPrintable(fields.out));
        QVERIFY2(fields.out.contains(QLatin1String("libqt6serialport6")), qPrintable(fields.out));

        const Run contents = Exec(dpkgDeb, {QStringLiteral("-c"), m_deb});
        QCOMPARE(contents.code, 0);
        for (const QString &file :
             {QStringLiteral("./usr/bin/pivota"), QStringLiteral("./usr/bin/pivota-sim"),
              QStringLiteral("./usr/share/applications/%1.desktop").arg(m_appId),
              QStringLiteral("./usr/share/metainfo/%1.metainfo.xml").arg(m_appId),
              QStringLiteral("./usr/share/icons/hicolor/scalable/apps/pivota.svg"),
              QStringLiteral("./usr/share/man/man1/pivota.1.gz"),
              QStringLiteral("./usr/share/man/man1/pivota-sim.1.gz"),
              QStringLiteral("./usr/share/man/de/man1/pivota.1.gz"),
              QStringLiteral("./usr/share/man/de/man1/pivota-sim.1.gz"),
              QStringLiteral("./usr/share/pivota/translations/pivota_en.qm"),
              QStringLiteral("./usr/share/doc/pivota/copyright"),
              QStringLiteral("./usr/share/doc/pivota/changelog.gz"),
              QStringLiteral("./usr/share/doc/pivota/manual/de/index.html"),
              QStringLiteral("./usr/share/doc/pivota/manual/en/index.html")}) {
            QVERIFY2(contents.out.contains(file + u'\n'), qPrintable(file));
        }
        // Nothing uncompressed beside them.
        QVERIFY(!contents.out.contains(QLatin1String("/man1/pivota.1\n")));
        QVERIFY(!contents.out.contains(QLatin1String("/doc/pivota/changelog\n")));

        // Unpacked, the program starts and answers.
        const Run v =
            Exec(m_unpacked + QStringLiteral("/usr/bin/pivota"), {QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QVERIFY(v.out.startsWith(QLatin1String("pivota ")));
    }

    void packageDocumentation() {
        const QString doc = m_unpacked + QStringLiteral("/usr/share/doc/pivota/");
        for (const QString &gz :
             {doc + QStringLiteral("changelog.gz"),
              m_unpacked + QStringLiteral("/usr/share/man/man1/pivota.1.gz"),
              m_unpacked + QStringLiteral("/usr/share/man/man1/pivota-sim.1.gz"),
              m_unpacked + QStringLiteral("/usr/share/man/de/man1/pivota.1.gz"),
              m_unpacked + QStringLiteral("/usr/share/man/de/man1/pivota-sim.1.gz")}) {
            QString why;
            QVERIFY2(GzipNineN(gz, &why), qPrintable(why));
        }

        // The changelog's latest entry is this version, signed by the package's maintainer.
        const QString maintainer = Exec(QStringLiteral("dpkg-deb"),
                                        {QStringLiteral("-f"), m_deb, QStringLiteral("Maintainer")})
                                       .out.trimmed();
        QVERIFY(!maintainer.isEmpty());
        QVERIFY2(!maintainer.contains(QLatin1String("localhost")), qPrintable(maintainer));
        const QStringList changelog = Gunzipped(doc + QStringLiteral("changelog.gz")).split(u'\n');
        QVERIFY(changelog.size() > 3);
        QVERIFY2(changelog.first().startsWith(
                     QStringLiteral("pivota (%1) ").arg(QStringLiteral(PIVOTA_VERSION))),
                 qPrintable(changelog.first()));
        QString trailer;
        for (const QString &line : changelog) {
            if (line.startsWith(QLatin1String(" -- "))) {
                trailer = line;
                break;
            }
        }
        QVERIFY2(trailer.startsWith(QStringLiteral(" -- %1  ").arg(maintainer)),
                 qPrintable(trailer + u'\n' + maintainer));

        // The copyright file in the machine-readable format: a header, files with their
        // copyright and licence, and the text of every licence named.
        const QList<Paragraph> copyright = Paragraphs(Text(doc + QStringLiteral("copyright")));
        QVERIFY(copyright.size() >= 2);
        QCOMPARE(
            copyright.first().value(QStringLiteral("Format")),
            QStringLiteral("https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"));
        QCOMPARE(copyright.first().value(QStringLiteral("Upstream-Contact")), maintainer);
        QStringList named;
        QStringList withText;
        bool allFiles = false;
        for (const Paragraph &p : copyright.mid(1)) {
            const QString license = p.value(QStringLiteral("License"));
            QVERIFY2(!license.isEmpty(), qPrintable(p.keys().join(u',')));
            const QString name = license.section(u'\n', 0, 0).trimmed();
            if (license.contains(u'\n')) {
                withText << name;
            }
            if (p.contains(QStringLiteral("Files"))) {
                QVERIFY2(!p.value(QStringLiteral("Copyright")).isEmpty(),
                         qPrintable(p.value(QStringLiteral("Files"))));
                named << name;
                allFiles = allFiles || p.value(QStringLiteral("Files")) == QStringLiteral("*");
            }
        }
        QVERIFY(allFiles);
        for (const QString &name : named) {
            QVERIFY2(withText.contains(name), qPrintable(name));
        }
    }

    void lintianFindsNothingButWhatIsAccepted() {
        const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
        REQUIRE_TOOL(lintian, "lintian is missing");
        const Run r = Exec(lintian,
                           {QStringLiteral("--display-info"), QStringLiteral("--pedantic"),
                            QStringLiteral("--tag-display-limit"), QStringLiteral("0"), m_deb},
                           280000);
        // 0: nothing at error level, 1: something; anything else means lintian did not run.
        QVERIFY2(r.code == 0 || r.code == 1, qPrintable(r.out + r.err));
        static const QRegularExpression tagLine(QStringLiteral("^([EWIPXO]): pivota: (\\S+)"),
                                                QRegularExpression::MultilineOption);
        QStringList unexpected;
        for (auto it = tagLine.globalMatch(r.out); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString line = r.out.mid(
                m.capturedStart(), r.out.indexOf(u'\n', m.capturedStart()) - m.capturedStart());
            if (m.captured(1) == u'E' || (!AcceptedLintianTags().contains(m.captured(2)) &&
                                          !IsGermanWord(line) && !IsPictureNoise(line))) {
                unexpected << m.captured(0);
            }
        }
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
        QVERIFY2(r.code == 0, qPrintable(r.out));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
