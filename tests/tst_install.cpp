// The installed program: cmake --install into a temporary prefix, and the Debian package that
// cpack builds from the same rules.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not run or finish").arg(program);
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QString Text(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
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

bool WellFormedXml(const QString &path, QString *root) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && root->isEmpty()) {
            *root = xml.name().toString();
        }
    }
    return !xml.hasError();
}
} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_prefix;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_prefix = m_dir.filePath(QStringLiteral("usr"));
        const Run r = Exec(QStringLiteral(CMAKE_COMMAND),
                           {QStringLiteral("--install"), QStringLiteral(PIVOTA_BUILD_DIR),
                            QStringLiteral("--prefix"), m_prefix});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    }

    void programsAndFilesInTheirPlaces() {
        for (const char *program : {"bin/pivota", "bin/pivota-sim"}) {
            const QFileInfo info(m_prefix + u'/' + QLatin1String(program));
            QVERIFY2(info.isFile() && info.isExecutable(), program);
        }
        for (const char *file :
             {"share/applications/pivota.desktop", "share/icons/hicolor/scalable/apps/pivota.svg",
              "share/metainfo/pivota.metainfo.xml", "share/man/man1/pivota.1",
              "share/man/man1/pivota-sim.1"}) {
            QVERIFY2(QFileInfo(m_prefix + u'/' + QLatin1String(file)).size() > 0, file);
        }
        // Each manual page names its program.
        QVERIFY(Text(m_prefix + QStringLiteral("/share/man/man1/pivota.1"))
                    .startsWith(QLatin1String(".TH PIVOTA 1 ")));
        QVERIFY(Text(m_prefix + QStringLiteral("/share/man/man1/pivota-sim.1"))
                    .startsWith(QLatin1String(".TH PIVOTA-SIM 1 ")));

        // The installed program runs (the console options need no display).
        const Run v = Exec(m_prefix + QStringLiteral("/bin/pivota"), {QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QCOMPARE(v.out, QStringLiteral("pivota %1\n").arg(QStringLiteral(PIVOTA_VERSION)));
        const Run s =
            Exec(m_prefix + QStringLiteral("/bin/pivota-sim"), {QStringLiteral("--help")});
        QCOMPARE(s.code, 0);
    }

    void desktopEntryIconAndMetadataFitTogether() {
        const QString desktop = m_prefix + QStringLiteral("/share/applications/pivota.desktop");
        const QString validator =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is missing");
        const Run r = Exec(validator, {desktop});
        QVERIFY2(r.code == 0 && r.out.trimmed().isEmpty() && r.err.trimmed().isEmpty(),
                 qPrintable(r.out + r.err));

        const QString text = Text(desktop);
        QCOMPARE(DesktopValue(text, QStringLiteral("Exec")).section(u' ', 0, 0),
                 QStringLiteral("pivota"));
        QVERIFY(QFileInfo::exists(m_prefix + QStringLiteral("/bin/pivota")));
        const QString icon = DesktopValue(text, QStringLiteral("Icon"));
        QVERIFY(QFileInfo::exists(
            m_prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/%1.svg").arg(icon)));

        QString root;
        QVERIFY(WellFormedXml(
            m_prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/pivota.svg"), &root));
        QCOMPARE(root, QStringLiteral("svg"));
        root.clear();
        const QString metainfo = m_prefix + QStringLiteral("/share/metainfo/pivota.metainfo.xml");
        QVERIFY(WellFormedXml(metainfo, &root));
        QCOMPARE(root, QStringLiteral("component"));
        QVERIFY(Text(metainfo).contains(
            QLatin1String("<launchable type=\"desktop-id\">pivota.desktop</launchable>")));
    }

    void debianPackageInstallsAndStarts() {
        const QString cpack = QStringLiteral(CPACK_COMMAND);
        const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        QVERIFY2(!dpkgDeb.isEmpty(), "dpkg-deb is missing");
        const QString out = m_dir.filePath(QStringLiteral("package"));
        const Run build =
            Exec(cpack, {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                         QStringLiteral(PIVOTA_BUILD_DIR "/CPackConfig.cmake"),
                         QStringLiteral("-B"), out});
        QVERIFY2(build.code == 0, qPrintable(build.out + build.err));
        const QStringList debs = QDir(out).entryList({QStringLiteral("pivota_*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        const QString deb = QDir(out).filePath(debs.first());

        const Run fields = Exec(dpkgDeb, {QStringLiteral("-f"), deb});
        QCOMPARE(fields.code, 0);
        QVERIFY(fields.out.contains(QStringLiteral("Package: pivota\n")));
        QVERIFY(fields.out.contains(
            QStringLiteral("Version: %1\n").arg(QStringLiteral(PIVOTA_VERSION))));
        // The libraries the programs link come as dependencies.
        QVERIFY2(fields.out.contains(QLatin1String("libqt6widgets6")), qPrintable(fields.out));
        QVERIFY2(fields.out.contains(QLatin1String("libqt6serialport6")), qPrintable(fields.out));

        const Run contents = Exec(dpkgDeb, {QStringLiteral("-c"), deb});
        QCOMPARE(contents.code, 0);
        for (const char *file :
             {"./usr/bin/pivota", "./usr/bin/pivota-sim", "./usr/share/applications/pivota.desktop",
              "./usr/share/icons/hicolor/scalable/apps/pivota.svg",
              "./usr/share/metainfo/pivota.metainfo.xml", "./usr/share/man/man1/pivota.1"}) {
            QVERIFY2(contents.out.contains(QLatin1String(file) + u'\n'), file);
        }

        // Unpacked, the program starts and answers.
        const QString root = m_dir.filePath(QStringLiteral("unpacked"));
        QCOMPARE(Exec(dpkgDeb, {QStringLiteral("-x"), deb, root}).code, 0);
        const Run v = Exec(root + QStringLiteral("/usr/bin/pivota"), {QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QVERIFY(v.out.startsWith(QLatin1String("pivota ")));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
