// Writes under hostile conditions: a full disk, devices, FIFOs, folders, links, standard streams,
// other users' files, signals, two saves at once, and a Save whose third file fails after two
// could be written.
#include "output/SafeWrite.h"
#include "output/SetupFile.h"
#include "output/StagedFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

mode_t kind(const QString& path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// Temporary files left in a folder (their names begin with a dot).
qsizetype leftovers(const QString& folder)
{
    return QDir(folder).entryList({".*"}, QDir::Files | QDir::Hidden).size();
}

constexpr uid_t kNobody = 65534;

struct stat status(const QString& path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs `work` in a child process, as user nobody when `asNobody` and this process is root; its
// exit status (0 when `work` returned true), or -1.
int inChild(const std::function<bool()>& work, bool asNobody = false)
{
    std::fflush(stdout); // nothing of ours for the child to write again
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (asNobody && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        ::_exit(work() ? 0 : 1);
    }
    int st = 0;
    if (pid < 0 || ::waitpid(pid, &st, 0) != pid || !WIFEXITED(st)) return -1;
    return WEXITSTATUS(st);
}

QImage filled(QRgb colour)
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestSafeWrite : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString disk_; // a 512 KB file system, when this process may mount one

    // %D: a fresh folder, %T: the small file system (emptied), or null when there is none.
    QString place(const QString& pattern, const QTemporaryDir& folder)
    {
        if (pattern.contains(QLatin1String("%T"))) {
            if (disk_.isEmpty()) return {};
            for (const QString& name : QDir(disk_).entryList(QDir::Files | QDir::Hidden))
                QFile::remove(disk_ + QLatin1Char('/') + name);
        }
        return QString(pattern)
            .replace(QLatin1String("%D"), folder.path())
            .replace(QLatin1String("%T"), disk_);
    }

private Q_SLOTS:
    void initTestCase()
    {
        disk_ = dir_.filePath("disk");
        QVERIFY(QDir().mkpath(disk_));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=512k", "tmpfs", disk_}) != 0)
            disk_.clear();
    }
    void cleanupTestCase()
    {
        if (!disk_.isEmpty()) QProcess::execute("umount", {disk_});
    }

    // A failure keeps the old bytes (or the special file) and names its real cause; devices and
    // FIFOs are written in place, a link keeps pointing at its file.
    void write_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message"); // empty: written
        auto row = [](const char* tag, const char* target, const char* message) {
            QTest::newRow(tag) << QString::fromLatin1(target) << QString::fromLatin1(message);
        };
        // A few bytes that a buffered writer would hold until its final flush.
        row("full disk", "%T/setup.txt", "No space left on device");
        row("full device", "/dev/full", "No space left on device");
        row("folder", "%D/dir", "Is a directory");
        row("missing folder", "%D/no/setup.txt", "the folder %D/no does not exist");
        row("FIFO nobody reads", "%D/fifo", "no program reads from it");
        row("device", "/dev/null", "");
        row("link", "%D/link", "");
        row("dangling link", "%D/dangling", "it is a link to %D/nowhere, which does not exist");
    }
    void write()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString path = place(target, folder);
        if (path.isEmpty()) QSKIP("mounting a small file system is not permitted here");
        message = place(message, folder);
        const QString file = folder.filePath("file.txt");
        if (path.endsWith(QLatin1String("fifo")))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (path.endsWith(QLatin1String("dir"))) QVERIFY(QDir().mkdir(path));
        if (path.endsWith(QLatin1String("dangling")))
            QVERIFY(QFile::link(folder.filePath("nowhere"), path));
        if (path.endsWith(QLatin1String("link")))
            QVERIFY(put(file, "old") && QFile::link(file, path) &&
                    ::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        if (path.startsWith(disk_ + QLatin1Char('/')))
            QVERIFY(put(path, "old") && !put(disk_ + "/filler", QByteArray(600000, 'f')));
        const mode_t before = kind(path);
        const QByteArray old = S_ISREG(before) ? contents(path) : QByteArray();
        QString error;
        QCOMPARE(SafeWrite::writeBytes(path, "new contents", error), message.isEmpty());
        QVERIFY2(message.isEmpty()
                     ? error.isEmpty()
                     : error == QStringLiteral("Cannot write %1: %2.").arg(path, message),
                 qPrintable(error));
        QCOMPARE(kind(path), before);
        if (S_ISREG(before)) QCOMPARE(contents(path), message.isEmpty() ? "new contents" : old);
        if (path.endsWith(QLatin1String("link"))) {
            QCOMPARE(QFileInfo(path).symLinkTarget(), file);
            QCOMPARE(QFileInfo(file).permissions() & 0x0777, QFileDevice::Permissions(0x0640));
        }
        if (!path.startsWith(QLatin1String("/dev/")))
            QCOMPARE(leftovers(QFileInfo(path).absolutePath()), 0);
    }

    // Save writes the setup file and its bitmaps all or none.
    void saveIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("where");   // %D or %T, as above
        QTest::addColumn<QString>("failing"); // made a folder; empty: none
        QTest::addColumn<QString>("message");
        auto row = [](const char* tag, const char* where, const char* failing,
                      const char* message) {
            QTest::newRow(tag) << QString::fromLatin1(where) << QString::fromLatin1(failing)
                               << QString::fromLatin1(message);
        };
        row("all written", "%D", "", "");
        row("setup file is a folder", "%D", "s.txt", "Is a directory");
        row("right bitmap is a folder", "%D", "s.txt_right.bmp", "Is a directory");
        row("room for one bitmap only", "%T", "", "No space left on device");
    }
    void saveIsAllOrNothing()
    {
        QFETCH(QString, where);
        QFETCH(QString, failing);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString base = place(where, folder);
        if (base.isEmpty()) QSKIP("mounting a small file system is not permitted here");
        const QString setup = base + "/s.txt";
        const QStringList names{setup, SetupFile::BitmapName(setup, 0),
                                SetupFile::BitmapName(setup, 1)};
        for (const QString& name : names)
            QVERIFY(!failing.isEmpty() && name.endsWith(failing) ? QDir().mkdir(name)
                                                                 : put(name, "old"));
        QImage left(400, 300, QImage::Format_RGB32), right(400, 300, QImage::Format_RGB32);
        left.fill(Qt::red);
        right.fill(Qt::blue);
        QString error;
        const bool ok = SetupFile::save(setup, "\"VANTRO\",0\r\n", {left, right}, error);
        QCOMPARE(ok, message.isEmpty());
        QVERIFY2(error.contains(message), qPrintable(error));
        for (const QString& name : names)
            if (S_ISREG(kind(name))) QCOMPARE(contents(name) == "old", !ok);
        if (ok) QCOMPARE(QImage(names.at(2)).pixel(0, 0), qRgb(0, 0, 255));
        QCOMPARE(leftovers(base), 0);
    }

    // A standard stream, a descriptor, or the file that standard output goes to, is written at
    // the descriptor's offset: what the redirection put there before and after stays.
    void streamsKeepWhatWasThere_data()
    {
        QTest::addColumn<QString>("target"); // %F: the redirected file by its name
        QTest::addColumn<int>("stream");
        QTest::addColumn<bool>("append"); // else one truncating redirection for the group
        QTest::newRow("appended standard output") << "/dev/stdout" << 1 << true;
        QTest::newRow("appended standard error") << "/dev/stderr" << 2 << true;
        QTest::newRow("appended descriptor 1") << "/proc/self/fd/1" << 1 << true;
        QTest::newRow("the redirected file by name") << "%F" << 1 << true;
        QTest::newRow("one redirection for a group") << "/dev/stdout" << 1 << false;
    }
    void streamsKeepWhatWasThere()
    {
        QFETCH(QString, target);
        QFETCH(int, stream);
        QFETCH(bool, append);
        QTemporaryDir folder;
        const QString log = folder.filePath("build.log");
        QVERIFY(put(log, append ? "KEEP\n" : "older and longer contents\n"));
        target.replace(QLatin1String("%F"), log);
        const int exit = inChild([&] {
            const int fd = ::open(QFile::encodeName(log).constData(),
                                  O_WRONLY | (append ? O_APPEND : O_TRUNC));
            QString error;
            return fd >= 0 && ::dup2(fd, stream) == stream &&
                   (append || ::write(stream, "KEEP\n", 5) == 5) &&
                   SafeWrite::writeBytes(target, "NEW\n", error) &&
                   ::write(stream, "AFTER\n", 6) == 6;
        });
        QCOMPARE(exit, 0);
        QCOMPARE(contents(log), QByteArray("KEEP\nNEW\nAFTER\n"));
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // The temporary file is private while it is written, then takes the old file's mode and
    // owner; a setuid bit stays only on the writer's own file.
    void modesAndOwners_data()
    {
        QTest::addColumn<int>("mode"); // of the old file; -1: none
        QTest::addColumn<bool>("foreign");
        QTest::addColumn<int>("staged");
        QTest::addColumn<int>("final");
        QTest::newRow("new file") << -1 << false << 0600 << 0644;
        QTest::newRow("644") << 0644 << false << 0600 << 0644;
        QTest::newRow("400") << 0400 << false << 0400 << 0400;
        QTest::newRow("own setuid") << 04755 << false << 0600 << 04755;
        QTest::newRow("600 of another user") << 0600 << true << 0600 << 0600;
        QTest::newRow("setuid of another user") << 04755 << true << 0600 << 0755;
        QTest::newRow("setgid of another user") << 02775 << true << 0600 << 0775;
    }
    void modesAndOwners()
    {
        QFETCH(int, mode);
        QFETCH(bool, foreign);
        QFETCH(int, staged);
        QFETCH(int, final);
        if (foreign && ::geteuid() != 0) QSKIP("giving a file to another user needs root");
        const mode_t mask = ::umask(022);
        QTemporaryDir folder;
        const QString path = folder.filePath("s.txt");
        const QByteArray name = QFile::encodeName(path);
        if (mode >= 0) {
            QVERIFY(put(path, "old"));
            if (foreign) QCOMPARE(::chown(name.constData(), kNobody, kNobody), 0);
            QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
        }
        const uid_t owner = foreign ? kNobody : ::geteuid();
        StagedFile file(path);
        QString error;
        QVERIFY2(file.stage("new", error), qPrintable(error));
        const QStringList temporary = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(temporary.size(), mode >= 0 ? 2 : 1);
        const struct stat temp = status(folder.filePath(temporary.first()));
        QCOMPARE(int(temp.st_mode & 07777), staged);
        QCOMPARE(temp.st_uid, owner);
        QVERIFY2(file.commit(error), qPrintable(error));
        ::umask(mask);
        const struct stat after = status(path);
        QCOMPARE(int(after.st_mode & 07777), final);
        QCOMPARE(after.st_uid, owner);
        QCOMPARE(contents(path), QByteArray("new"));
    }

    // Files that cannot be replaced without losing something are written in place, in full.
    void writtenInPlace_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("asNobody"); // as root: by nobody, the file staying root's
        QTest::newRow("hard link") << "%D/a.txt %D/b.txt" << 0700 << false;
        QTest::newRow("666 file in a folder the user cannot write") << "%D/a.txt" << 0555 << true;
        QTest::newRow("another user's 666 file in a sticky folder") << "%D/a.txt" << 01777 << true;
    }
    void writtenInPlace()
    {
        QFETCH(QString, file);
        QFETCH(int, folderMode);
        QFETCH(bool, asNobody);
        if (asNobody && folderMode & S_ISVTX && ::geteuid() != 0)
            QSKIP("a file of another user needs root");
        QTemporaryDir folder;
        const QStringList names = file.replace(QLatin1String("%D"), folder.path()).split(' ');
        QVERIFY(put(names.first(), "old contents"));
        QCOMPARE(::chmod(QFile::encodeName(names.first()).constData(), 0666), 0);
        if (names.size() > 1)
            QCOMPARE(::link(QFile::encodeName(names.first()).constData(),
                            QFile::encodeName(names.last()).constData()),
                     0);
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)), 0);
        QString error;
        QCOMPARE(
            inChild([&] { return SafeWrite::writeBytes(names.first(), "new", error); }, asNobody),
            0);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        for (const QString& name : names)
            QCOMPARE(contents(name), QByteArray("new"));
        QCOMPARE(status(names.first()).st_uid, ::geteuid());
        QCOMPARE(qsizetype(status(names.first()).st_nlink), names.size());
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // What restore() brings back after a commit.
    void restore_data()
    {
        QTest::addColumn<QString>("link"); // a second name, or empty
        QTest::addColumn<bool>("existed");
        QTest::newRow("replaced") << "" << true;
        QTest::newRow("new") << "" << false;
        QTest::newRow("written in place") << "b.txt" << true;
    }
    void restore()
    {
        QFETCH(QString, link);
        QFETCH(bool, existed);
        QTemporaryDir folder;
        const QString path = folder.filePath("a.txt");
        if (existed) QVERIFY(put(path, "old"));
        if (!link.isEmpty())
            QCOMPARE(::link(QFile::encodeName(path).constData(),
                            QFile::encodeName(folder.filePath(link)).constData()),
                     0);
        StagedFile file(path);
        QString error;
        QVERIFY(file.stage("new", error) && file.commit(error));
        QCOMPARE(contents(path), QByteArray("new"));
        QVERIFY(file.restore());
        QCOMPARE(contents(path), existed ? QByteArray("old") : QByteArray("(missing)"));
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // A Save where another user owns one bitmap, in a sticky folder, changes nothing.
    void saveWithAnotherUsersFile()
    {
        if (::geteuid() != 0) QSKIP("a file of another user needs root");
        QTemporaryDir folder;
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), 01777), 0);
        const QString setup = folder.filePath("s.txt");
        const QStringList names{setup, SetupFile::BitmapName(setup, 0),
                                SetupFile::BitmapName(setup, 1)};
        for (const QString& name : names) {
            QVERIFY(put(name, "old"));
            if (name != names.last())
                QCOMPARE(::chown(QFile::encodeName(name).constData(), kNobody, kNobody), 0);
        }
        QCOMPARE(inChild(
                     [&] {
                         QString error;
                         return !SetupFile::save(setup, "new", {filled(0), filled(0)}, error) &&
                                error.endsWith("s.txt_right.bmp: Permission denied.");
                     },
                     true),
                 0);
        for (const QString& name : names)
            QCOMPARE(contents(name), QByteArray("old"));
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // Two processes saving one name at once leave one whole set, of the one that came last.
    void concurrentSavesGiveOneSet()
    {
        QTemporaryDir folder;
        const QString setup = folder.filePath("s.txt");
        const QList<QRgb> colours{qRgb(255, 0, 0), qRgb(0, 0, 255)};
        for (int run = 0; run < 40; ++run) {
            std::fflush(stdout);
            QList<pid_t> children;
            for (const QRgb colour : colours) {
                const pid_t pid = ::fork();
                if (pid == 0) {
                    QString error;
                    const QImage view = filled(colour);
                    ::_exit(SetupFile::save(setup, QByteArray::number(colour), {view, view}, error)
                                ? 0
                                : 1);
                }
                children.append(pid);
            }
            for (const pid_t pid : children) {
                int st = 0;
                QCOMPARE(::waitpid(pid, &st, 0), pid);
                QVERIFY(WIFEXITED(st) && WEXITSTATUS(st) == 0);
            }
            const QRgb colour = contents(setup).toUInt();
            QVERIFY(colours.contains(colour));
            QCOMPARE(QImage(SetupFile::BitmapName(setup, 0)).pixel(0, 0), colour);
            QCOMPARE(QImage(SetupFile::BitmapName(setup, 1)).pixel(0, 0), colour);
        }
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // A save into a device writes nothing beside it.
    void saveToADevice()
    {
        QString error;
        QVERIFY2(SetupFile::save("/dev/null", "new", {filled(0), filled(0)}, error),
                 qPrintable(error));
        QVERIFY(!QFile::exists(SetupFile::BitmapName("/dev/null", 0)));
    }

    // Stopped by a signal between writing the temporary file and the rename: the temporary
    // file goes, and the signal still ends the process.
    void signalsRemoveTemporaryFiles_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalsRemoveTemporaryFiles()
    {
        QFETCH(int, signal);
        QTemporaryDir folder;
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        std::fflush(stdout);
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                std::signal(s, SIG_DFL); // as in the program, not in this test
            StagedFile file(folder.filePath("big.bmp"));
            QString error;
            if (file.stage(QByteArray(8 << 20, 'x'), error) && ::write(ready[1], "s", 1) == 1)
                ::pause();
            ::_exit(1);
        }
        char c = 0;
        QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
        QCOMPARE(leftovers(folder.path()), 1);
        QCOMPARE(::kill(pid, signal), 0);
        int st = 0;
        QCOMPARE(::waitpid(pid, &st, 0), pid);
        QVERIFY(WIFSIGNALED(st) && WTERMSIG(st) == signal);
        QCOMPARE(leftovers(folder.path()), 0);
        ::close(ready[0]);
        ::close(ready[1]);
    }

    // What a process killed outright left is removed by the next write of the same target.
    void staleTemporaryFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("removed");
        QTest::newRow("older than a minute") << ".s.txt.~0a1b2c3" << 120 << true;
        QTest::newRow("recent") << ".s.txt.~0a1b2c3" << 10 << false;
        QTest::newRow("of another target") << ".t.txt.~0a1b2c3" << 120 << false;
        QTest::newRow("not a temporary name") << ".s.txt.~0a1b" << 120 << false;
    }
    void staleTemporaryFiles()
    {
        QFETCH(QString, name);
        QFETCH(int, age);
        QFETCH(bool, removed);
        QTemporaryDir folder;
        const QString stale = folder.filePath(name);
        QVERIFY(put(stale, "partial"));
        const struct timespec then
        {
            ::time(nullptr) - age, 0
        };
        const struct timespec times[2] = {then, then};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(stale).constData(), times, 0), 0);
        QString error;
        QVERIFY(SafeWrite::writeBytes(folder.filePath("s.txt"), "new", error));
        QCOMPARE(QFile::exists(stale), !removed);
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
