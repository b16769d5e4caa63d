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

constexpr uid_t kNobody = 65534;

struct stat status(const QString& path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

mode_t kind(const QString& path)
{
    return status(path).st_mode & S_IFMT;
}

// Temporary files left in a folder (their names begin with a dot).
qsizetype leftovers(const QString& folder)
{
    return QDir(folder).entryList({".*"}, QDir::Files | QDir::Hidden).size();
}

// Runs `work` in a child process, as user nobody when `asNobody` and this process is root; it
// exits with 0 when `work` returns true.
pid_t spawn(const std::function<bool()>& work, bool asNobody = false)
{
    std::fflush(stdout); // nothing of ours for the child to write again
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(asNobody && ::geteuid() == 0 &&
                        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                         ::setuid(kNobody) != 0)
                    ? 3
                    : !work());
    return pid;
}

// The child's wait status: 0 when it exited with 0.
int waitFor(pid_t pid)
{
    int st = -1;
    return pid > 0 && ::waitpid(pid, &st, 0) == pid ? st : -1;
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
    // FIFOs are written in place, a link keeps pointing at its file. Written here in pieces,
    // staged as a whole file is.
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
        SafeWrite::Stream stream(path); // in pieces, as an animation's frames come
        stream.add("new ");
        stream.add("contents");
        QCOMPARE(stream.commit(error), message.isEmpty());
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

    // A PNG of at most 256 colours is a palette image, one of more keeps 24-bit colour, and
    // a BMP always does: the pixels read back the same.
    void imageColours_data()
    {
        QTest::addColumn<int>("colours");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("palette");
        QTest::newRow("png, 2") << 2 << QByteArray("PNG") << true;
        QTest::newRow("png, 256") << 256 << QByteArray("PNG") << true;
        QTest::newRow("png, 257") << 257 << QByteArray("PNG") << false;
        QTest::newRow("bmp, 2") << 2 << QByteArray("BMP") << false;
    }
    void imageColours()
    {
        QFETCH(int, colours);
        QFETCH(QByteArray, format);
        QFETCH(bool, palette);
        QImage image(40, 30, QImage::Format_RGB32);
        for (int i = 0; i < 40 * 30; ++i)
            image.setPixel(i % 40, i / 40, qRgb(i % colours % 256, i % colours / 256 * 99, 9));
        const QString path = dir_.filePath(QStringLiteral("colours.") + format.toLower());
        QString error;
        QVERIFY2(SafeWrite::writeImage(path, image, format.constData(), error), qPrintable(error));
        const QImage back(path);
        QCOMPARE(back.format() == QImage::Format_Indexed8, palette);
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), image);
    }

    // A standard stream, a descriptor, or the file that standard output goes to, is written at
    // the descriptor's offset: what the redirection put there before and after stays.
    void streamsKeepWhatWasThere_data()
    {
        QTest::addColumn<QString>("target"); // %F: the redirected file by its name
        QTest::addColumn<int>("stream");
        QTest::addColumn<int>("flags"); // O_TRUNC: one redirection for a group of commands
        QTest::newRow("appended standard output") << "/dev/stdout" << 1 << O_APPEND;
        QTest::newRow("appended standard error") << "/dev/stderr" << 2 << O_APPEND;
        QTest::newRow("appended descriptor 1") << "/proc/self/fd/1" << 1 << O_APPEND;
        QTest::newRow("the redirected file by name") << "%F" << 1 << O_APPEND;
        QTest::newRow("one redirection for a group") << "/dev/stdout" << 1 << O_TRUNC;
    }
    void streamsKeepWhatWasThere()
    {
        QFETCH(QString, target);
        QFETCH(int, stream);
        QFETCH(int, flags);
        QTemporaryDir folder;
        const QString log = folder.filePath("build.log");
        QVERIFY(put(log, flags == O_APPEND ? "KEEP\n" : "older and longer contents\n"));
        target.replace(QLatin1String("%F"), log);
        QCOMPARE(waitFor(spawn([&] {
                     const int fd = ::open(QFile::encodeName(log).constData(), O_WRONLY | flags);
                     QString error;
                     return ::dup2(fd, stream) == stream &&
                            (flags == O_APPEND || ::write(stream, "KEEP\n", 5) == 5) &&
                            SafeWrite::writeBytes(target, "NEW\n", error) &&
                            ::write(stream, "AFTER\n", 6) == 6;
                 })),
                 0);
        QCOMPARE(contents(log), QByteArray("KEEP\nNEW\nAFTER\n"));
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // The temporary file is private while it is written, then takes the old file's mode and
    // owner, a setuid bit only on the writer's own file; restore() brings the old file back.
    void modesAndOwners_data()
    {
        QTest::addColumn<int>("mode"); // of the old file; -1: none
        QTest::addColumn<bool>("foreign");
        QTest::addColumn<int>("staged");
        QTest::addColumn<int>("final");
        QTest::newRow("new file") << -1 << false << 0600 << 0644;
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
        QVERIFY(mode < 0 || (put(path, "old") &&
                             (!foreign || ::chown(name.constData(), kNobody, kNobody) == 0) &&
                             ::chmod(name.constData(), mode_t(mode)) == 0));
        const uid_t owner = foreign ? kNobody : ::geteuid();
        StagedFile file(path);
        QString error;
        QVERIFY2(file.stage("new", error), qPrintable(error));
        const QStringList temporary =
            QDir(folder.path()).entryList({".*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(temporary.size(), 1);
        const struct stat temp = status(folder.filePath(temporary.first()));
        QCOMPARE(int(temp.st_mode & 07777), staged);
        QCOMPARE(temp.st_uid, owner);
        QVERIFY2(file.commit(error), qPrintable(error));
        ::umask(mask);
        QCOMPARE(int(status(path).st_mode & 07777), final);
        QCOMPARE(status(path).st_uid, owner);
        QCOMPARE(contents(path), QByteArray("new"));
        QVERIFY(file.restore());
        QCOMPARE(contents(path), QByteArray(mode < 0 ? "(missing)" : "old"));
    }

    // Files that cannot be replaced without losing something are written in place, in full;
    // as root, by nobody, the file staying root's.
    void writtenInPlace_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("folderMode");
        QTest::newRow("hard link") << "a.txt b.txt" << 0700;
        QTest::newRow("666 file in a folder the user cannot write") << "a.txt" << 0555;
        QTest::newRow("another user's 666 file in a sticky folder") << "a.txt" << 01777;
    }
    void writtenInPlace()
    {
        QFETCH(QString, names);
        QFETCH(int, folderMode);
        if (folderMode & S_ISVTX && ::geteuid() != 0) QSKIP("a file of another user needs root");
        QTemporaryDir folder;
        const QDir dir(folder.path());
        const QString a = dir.filePath("a.txt");
        QVERIFY(put(a, "old contents") && ::chmod(QFile::encodeName(a).constData(), 0666) == 0);
        if (names.contains(' '))
            QVERIFY(::link(QFile::encodeName(a).constData(),
                           QFile::encodeName(dir.filePath("b.txt")).constData()) == 0);
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)), 0);
        QString error;
        QCOMPARE(waitFor(spawn([&] { return SafeWrite::writeBytes(a, "new", error); },
                               folderMode != 0700)),
                 0);
        for (const QString& name : names.split(' '))
            QCOMPARE(contents(dir.filePath(name)), QByteArray("new"));
        QCOMPARE(status(a).st_uid, ::geteuid());
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // A Save where another user owns one bitmap, in a sticky folder, changes nothing.
    void saveWithAnotherUsersFile()
    {
        if (::geteuid() != 0) QSKIP("a file of another user needs root");
        QTemporaryDir folder;
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), 01777), 0);
        const QString setup = folder.filePath("s.txt");
        const QStringList names{SetupFile::BitmapName(setup, 1), SetupFile::BitmapName(setup, 0),
                                setup};
        for (const QString& name : names)
            QVERIFY(put(name, "old") &&
                    (name == names.first() ||
                     ::chown(QFile::encodeName(name).constData(), kNobody, kNobody) == 0));
        QCOMPARE(waitFor(spawn(
                     [&] {
                         QString error;
                         return !SetupFile::save(setup, "new", {filled(0), filled(0)}, error) &&
                                error.endsWith("s.txt_right.bmp: Permission denied.");
                     },
                     true)),
                 0);
        for (const QString& name : names)
            QCOMPARE(contents(name), QByteArray("old"));
        QCOMPARE(leftovers(folder.path()), 0);
    }

    // Two processes saving one name at once leave one whole set; into a device, no bitmaps.
    void concurrentSavesGiveOneSet()
    {
        QTemporaryDir folder;
        const QString setup = folder.filePath("s.txt");
        for (int run = 0; run < 40; ++run) {
            QList<pid_t> children;
            for (const QRgb colour : {qRgb(255, 0, 0), qRgb(0, 0, 255)})
                children.append(spawn([&] {
                    QString error;
                    return SetupFile::save(setup, QByteArray::number(colour),
                                           {filled(colour), filled(colour)}, error);
                }));
            for (const pid_t pid : children)
                QCOMPARE(waitFor(pid), 0);
            const QRgb colour = contents(setup).toUInt();
            QVERIFY(colour == qRgb(255, 0, 0) || colour == qRgb(0, 0, 255));
            for (const int view : {0, 1})
                QCOMPARE(QImage(SetupFile::BitmapName(setup, view)).pixel(0, 0), colour);
        }
        QCOMPARE(leftovers(folder.path()), 0);
        QString error;
        QVERIFY(SetupFile::save("/dev/null", "new", {filled(0), filled(0)}, error));
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
        const pid_t pid = spawn([&] {
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                std::signal(s, SIG_DFL); // as in the program, not in this test
            StagedFile file(folder.filePath("big.bmp"));
            QString error;
            return file.stage(QByteArray(8 << 20, 'x'), error) && ::write(ready[1], "s", 1) == 1 &&
                   ::pause() && false;
        });
        char c = 0;
        QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
        QCOMPARE(leftovers(folder.path()), 1);
        QCOMPARE(::kill(pid, signal), 0);
        const int st = waitFor(pid);
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
        const QByteArray stale = QFile::encodeName(folder.filePath(name));
        const struct timespec then
        {
            ::time(nullptr) - age, 0
        }, times[2] = {then, then};
        QVERIFY(put(stale, "partial") && ::utimensat(AT_FDCWD, stale.constData(), times, 0) == 0);
        QString error;
        QVERIFY(SafeWrite::writeBytes(folder.filePath("s.txt"), "new", error));
        QCOMPARE(QFile::exists(stale), !removed);
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
