// The program's files are read and written so that nothing is lost and nothing hangs: a full
// disk keeps the old file and says so, a device or a pipe is never replaced nor waited for, and
// a file far too large for the program is refused before it is read.

#include "comm/sharedstate.h"
#include "core/backup/backupfile.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"
#include "platform/filesafety.h"
#include "platform/savecopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray Contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Put(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Files larger than this cannot be written while it lives: the write fails short, as on a full
// disk (the signal that the system would send instead is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

QStringList Leftovers(const QString &folder, const QString &keep) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(keep);
    return names;
}
} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT
private slots:
    // The save file's buffer used to hide the failed write until commit(), which then replaced
    // the old backup with its first 8 KB and said nothing.
    void aShortWriteKeepsTheOldFileAndFails() {
        QTemporaryDir dir;
        const QString path = dir.filePath("sicherung.pvt");
        const QByteArray old("[EE_GRUBE]\ndata_0_grube=1\n");
        QVERIFY(Put(path, old));
        const QByteArray big(12 * 1024, 'x');
        QString error;
        bool written = true;
        {
            FileSizeLimit limit(8192);
            QVERIFY(limit.ok());
            written = FileSafety::WriteWhole(path, big, &error);
        }
        QVERIFY(!written);
        QVERIFY2(error.startsWith(path), qPrintable(error));
        QCOMPARE(Contents(path), old);
        QCOMPARE(Leftovers(dir.path(), "sicherung.pvt"), QStringList());

        // Through the INI class and the backup, as every caller writes.
        IniFile ini;
        for (int i = 0; i < 1000; ++i) {
            ini.writeInt("EE_GRUBE", QStringLiteral("data_%1_grube").arg(i), i % 256);
        }
        {
            FileSizeLimit limit(4096);
            QVERIFY(!ini.save(path, &error));
            Backup::Image image;
            for (auto &cell : image.pit) {
                cell = Backup::Cell::Of(0x5A);
            }
            SharedState state;
            QVERIFY(!Backup::SaveBackup(path, ProgramSettings(), state, image,
                                        {QDateTime::currentDateTime(), "test"}, &error));
        }
        QCOMPARE(Contents(path), old);
        // Without the limit the same write goes through whole.
        QVERIFY(FileSafety::WriteWhole(path, big, &error));
        QCOMPARE(Contents(path), big);
    }

    // A save file next to a device node would replace the node by a regular file (as root), and
    // one next to a pipe or in place of a folder cannot work at all.
    void onlyRegularFilesAreReplaced() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString folder = dir.filePath("ordner");
        QVERIFY(QDir().mkdir(folder));
        const QString link = dir.filePath("null-link");
        QVERIFY(QFile::link("/dev/null", link));
        struct Case {
            QString path;
            FileSafety::Kind kind;
            const char *word;
        };
        const QList<Case> cases = {{"/dev/null", FileSafety::Kind::Device, "Gerät"},
                                   {link, FileSafety::Kind::Device, "Gerät"},
                                   {fifo, FileSafety::Kind::Pipe, "Pipe"},
                                   {folder, FileSafety::Kind::Folder, "Ordner"}};
        for (const Case &c : cases) {
            QCOMPARE(FileSafety::KindOf(c.path), c.kind);
            QString error;
            QVERIFY2(!FileSafety::WriteWhole(c.path, "x", &error), qPrintable(c.path));
            QVERIFY2(error.contains(c.word), qPrintable(error));
            QVERIFY2(!IniFile().save(c.path, &error), qPrintable(c.path));
        }
        struct stat st {};
        QCOMPARE(::stat("/dev/null", &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(FileSafety::KindOf(dir.filePath("neu.pvt")), FileSafety::Kind::Missing);
        QVERIFY(FileSafety::CanReplace(dir.filePath("neu.pvt"), nullptr));
        QVERIFY(FileSafety::WriteWhole(dir.filePath("neu.pvt"), "[a]\n", nullptr));
    }

    // A save keeps the file's rights, owner and group whoever runs it, and replaces no file that
    // grants writing to nobody: the superuser, whom the system lets write it, is refused as well,
    // and "Ende" asks as it asks anybody whose save failed.
    void aSaveKeepsTheFilesRightsAndSparesAReadOnlyFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("pivota.ini");
        const QByteArray old("[a]\nx=1\n");
        QVERIFY(Put(path, old));
        const QByteArray file = QFile::encodeName(path);
        const auto modeOf = [&] {
            struct stat st {};
            return ::stat(file.constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
        };
        const bool superuser = ::geteuid() == 0;
        // Writable through the group alone: only the superuser may write it, and its save file
        // gave the copy the owner's right to write as well.
        QList<mode_t> modes = {0600, 0640, 0604};
        if (superuser) {
            modes << 0460;
            QCOMPARE(::chown(file.constData(), 65534, 65534), 0);
        }
        for (const mode_t mode : modes) {
            QCOMPARE(::chmod(file.constData(), mode), 0);
            QString error;
            QVERIFY2(FileSafety::WriteWhole(path, "[a]\nx=2\n", &error), qPrintable(error));
            QCOMPARE(modeOf(), unsigned(mode));
        }
        if (superuser) {
            struct stat st {};
            QCOMPARE(::stat(file.constData(), &st), 0);
            QCOMPARE(st.st_uid, uid_t(65534));
            QCOMPARE(st.st_gid, gid_t(65534));
        }
        QVERIFY(Put(path, old));
        QCOMPARE(::chmod(file.constData(), 0444), 0);
        QString error;
        QVERIFY(!FileSafety::WriteWhole(path, "[a]\nx=3\n", &error));
        QCOMPARE(error, path + ": Die Datei ist schreibgeschützt.");
        QVERIFY(!IniFile().save(path, &error));
        QCOMPARE(Contents(path), old);
        QCOMPARE(modeOf(), 0444u);
    }

    // A save killed while it writes leaves its copy beside the file (where the file system has no
    // unnamed files); the next save of the file removes such copies, and nothing else: not a copy
    // that a save is still writing, not a user's file of a like name, not another file's copy.
    void copiesThatKilledSavesLeftGoAtTheNextSave() {
        QTemporaryDir dir;
        const QString path = dir.filePath("pivota.ini");
        QVERIFY(Put(path, "[a]\nx=1\n"));
        // A copy as a save makes it; a killed save no longer holds it open.
        const auto copy = [&](const QString &name) {
            const int fd = ::open(QFile::encodeName(dir.filePath(name)).constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                SaveCopy::Prepare(fd, SaveCopy::Inspect(path));
                [[maybe_unused]] const auto n = ::write(fd, "[a]\nx", 5);
            }
            return fd;
        };
        for (const char *name : {"pivota.ini.AbCdEf", "pivota.ini.xyzUVW", "pivota.ini.AbCdE",
                                 "pivota.ini.AbCdEfG", "other.ini.AbCdEf"}) {
            const int fd = copy(name);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        const int writing = copy("pivota.ini.QwErTy");
        QVERIFY(writing >= 0);
        QVERIFY(Put(dir.filePath("pivota.ini.backup"), "[a]\nx=0\n"));

        QVERIFY(FileSafety::WriteWhole(path, "[a]\nx=2\n", nullptr));
        const QStringList kept = {"other.ini.AbCdEf", "pivota.ini.AbCdE", "pivota.ini.AbCdEfG",
                                  "pivota.ini.backup", "pivota.ini.QwErTy"};
        QCOMPARE(Leftovers(dir.path(), "pivota.ini"), kept);
        ::close(writing);
        QVERIFY(FileSafety::WriteWhole(path, "[a]\nx=3\n", nullptr));
        QVERIFY(!QFile::exists(dir.filePath("pivota.ini.QwErTy")));
        QCOMPARE(Contents(path), QByteArray("[a]\nx=3\n"));
        QCOMPARE(Contents(dir.filePath("pivota.ini.backup")), QByteArray("[a]\nx=0\n"));
    }

    // Reading never waits for a writer and never takes more than the program can use: a pipe,
    // /dev/zero and a huge file are refused at once, the reason naming what they are.
    void readingRefusesWhatIsNoFileOrFarTooLarge() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString huge = dir.filePath("huge.pvt");
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(50 * 1024 * 1024)); // sparse: no 50 MB written
        }
        const QString edge = dir.filePath("edge.pvt");
        QVERIFY(Put(edge, QByteArray(FileSafety::MaxReadBytes, 'a')));

        QByteArray bytes;
        QString error;
        QVERIFY(!FileSafety::ReadWhole(fifo, &bytes, &error));
        QVERIFY2(error.contains("Pipe"), qPrintable(error));
        QVERIFY(!FileSafety::ReadWhole("/dev/zero", &bytes, &error));
        QVERIFY2(error.contains("Gerät"), qPrintable(error));
        QVERIFY(!FileSafety::ReadWhole(huge, &bytes, &error));
        QVERIFY2(error.contains("zu groß"), qPrintable(error));
        // The size as the language writes numbers.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(!FileSafety::ReadWhole(huge, &bytes, &error));
        QLocale::setDefault(QLocale::c());
        QVERIFY2(error.startsWith(huge + ": Die Datei ist zu groß (50,0 MB; höchstens 4 MB)"),
                 qPrintable(error));
        QVERIFY(!FileSafety::ReadWhole(dir.path(), &bytes, &error));
        QVERIFY2(error.contains("Ordner"), qPrintable(error));
        QVERIFY(FileSafety::ReadWhole(edge, &bytes, &error));
        QCOMPARE(bytes.size(), FileSafety::MaxReadBytes);

        // A pipe with a writer behind it, as the shell's <(cat file) gives: still no file.
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        const QString procPath = QStringLiteral("/dev/fd/%1").arg(fds[0]);
        QVERIFY(!FileSafety::ReadWhole(procPath, &bytes, &error));
        QVERIFY2(error.contains("Pipe"), qPrintable(error));
        ::close(fds[0]);
        ::close(fds[1]);

        // The INI reader and the backup reader go the same way.
        IniFile ini;
        QVERIFY(!ini.load(fifo, &error));
        QVERIFY(!ini.load("/dev/zero", &error));
        QVERIFY(!Backup::ReadFile(huge, nullptr, &error));
        QVERIFY2(error.contains("zu groß"), qPrintable(error));
    }

    // A cell held twice with two values: which one counts cannot be said, so the file is refused
    // for a compare and a restore. The same value twice is harmless.
    void keysHeldTwiceWithTwoValuesAreNamed() {
        IniFile ini;
        QVERIFY(ini.loadBytes("[EE_GRUBE]\ndata_5_grube=12\ndata_6_grube=3\n[Other]\nx=1\n"
                              "[ee_grube]\nDATA_5_GRUBE=99\ndata_6_grube=3\n"));
        QCOMPARE(ini.conflictingKeys("EE_GRUBE"), QStringList{"data_5_grube"});
        QCOMPARE(ini.readInt("EE_GRUBE", "data_5_grube", -1), 99); // what a plain read takes
        QVERIFY(ini.conflictingKeys("Other").isEmpty());
        QString error;
        QVERIFY(!Backup::CheckFile(ini, nullptr, &error));
        QVERIFY2(error.contains("data_5_grube") && !error.contains("data_6_grube"),
                 qPrintable(error));
        QVERIFY(ini.loadBytes("[EE_GRUBE]\ndata_5_grube=12\ndata_5_grube= 12\n"));
        QVERIFY(ini.conflictingKeys("EE_GRUBE").isEmpty());
        QVERIFY(Backup::CheckFile(ini, nullptr, &error));
    }
};

QTEST_GUILESS_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
