// Writes under hostile conditions: a full disk, devices, FIFOs, folders, links, and a Save whose
// third file fails after two could be written.
#include "output/SafeWrite.h"
#include "output/SetupFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

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
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
