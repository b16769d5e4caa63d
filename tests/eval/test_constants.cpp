#include "common/EngineFixture.h"
#include "eval/UserConstants.h"

#include <QElapsedTimer>
#include <QtTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
UserConstants withTexts(const QStringList& texts)
{
    UserConstants c;
    for (const QString& t : texts)
        c.add(t);
    return c;
}
} // namespace

class TestConstants : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void add_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QStringList>("after");
        const QStringList none;
        QTest::newRow("redefinition moves to the end")
            << QStringList{"a=2.37", "b=1"} << "a=5" << true << QStringList{"b=1", "a=5"};
        QTest::newRow("empty name") << QStringList{"a=1"} << "=3" << false << QStringList{"a=1"};
        QTest::newRow("leading digit") << none << "1a=3" << false << none;
        QTest::newRow("non-ASCII digit")
            << none << QString::fromUtf8("a\xd9\xa1=1") << false << none; // Arabic-Indic one
    }
    void add()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, text);
        QFETCH(bool, added);
        QFETCH(QStringList, after);
        UserConstants c = withTexts(before);
        QCOMPARE(c.add(text),
                 added ? UserConstants::AddResult::Added : UserConstants::AddResult::Refused);
        QCOMPARE(c.list(), after);
    }

    // Constants that each hold a long string share one budget: a list that would take more
    // than a gigabyte fails with 7 "Out of memory", quickly, in a process limited to 1 GB.
    void heldStringsShareOneBudget()
    {
        QStringList texts{QStringLiteral("d0=\"ab\"")};
        for (int i = 1; i <= 21; ++i)
            texts.append(QStringLiteral("d%1=d%2&d%2").arg(i).arg(i - 1));
        for (int i = 1; i <= 79; ++i)
            texts.append(QStringLiteral("b%1=d21&d21").arg(i));
        UserConstants c;
        QVERIFY(c.setAll(texts));
        QElapsedTimer timer;
        timer.start();
        const pid_t pid = ::fork();
        if (pid == 0) {
#if !defined(__SANITIZE_ADDRESS__)
            const rlimit limit{rlim_t(1) << 30, rlim_t(1) << 30};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
#endif
            EngineFixture s;
            ::_exit(c.registerAll(s.engine) == 7 && s.run(QStringLiteral("b3=\"\"")) == 0 &&
                            s.run(QStringLiteral("b4=d21&d21")) == 0
                        ? 0
                        : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                 qPrintable(QString::number(status)));
        QVERIFY(timer.elapsed() < 20000);
    }

    void capacity()
    {
        QStringList full;
        for (int i = 0; i < UserConstants::Capacity; ++i)
            full.append(QStringLiteral("k%1=%1").arg(i));
        UserConstants c;
        QVERIFY(c.setAll(full));
        QCOMPARE(c.count(), 101);
        QCOMPARE(c.add(QStringLiteral("extra=1")), UserConstants::AddResult::ListFull);
        QCOMPARE(c.add(QStringLiteral("1x=1")), UserConstants::AddResult::Refused);
        // Redefining a listed name still works when full; a longer list is not taken.
        QCOMPARE(c.add(QStringLiteral("k0=-1")), UserConstants::AddResult::Added);
        QCOMPARE(c.list().last(), QStringLiteral("k0=-1"));
        QVERIFY(!c.setAll(full + QStringList{QStringLiteral("n=0")}));
        QCOMPARE(c.count(), 101);
    }

    // Registration runs the list in order; a failing entry does not stop the others.
    void registration_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("expected");
        QTest::addColumn<int>("failures");
        // The engine holds a=1 from an earlier registration.
        QTest::newRow("b after a") << QStringList{"a=3", "b=a*2"} << "b" << 6.0 << 0;
        QTest::newRow("b before a uses the older a")
            << QStringList{"b=a*2", "a=3"} << "b" << 2.0 << 0;
        QTest::newRow("start-up names") << QStringList{"r=pi/halfpi"} << "r" << 2.0 << 0;
        QTest::newRow("failing entries") << QStringList{"b=((", "c=1/0", "d=4"} << "d" << 4.0 << 2;
    }
    void registration()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, expression);
        QFETCH(double, expected);
        QFETCH(int, failures);
        EngineFixture e;
        QCOMPARE(e.engine.executeStatement(QStringLiteral("a=1")), 0);
        const UserConstants c = withTexts(texts);
        const qint32 first = c.registerAll(e.engine);
        QCOMPARE(e.value(expression), expected);
        QCOMPARE(int(e.notified.size()), failures);
        QCOMPARE(first, failures ? e.notified.first().number : 0);
    }

    void removeRunsZeroStatement()
    {
        // Removing sets the name to 0; halfpi is Class1's own.
        EngineFixture e;
        UserConstants c = withTexts({QStringLiteral("a=2.37"), QStringLiteral("halfpi=1")});
        QCOMPARE(c.registerAll(e.engine), 0);
        QCOMPARE(e.class1.halfpi, 1.0);
        QVERIFY(c.remove(1, e.engine));
        QVERIFY(c.remove(0, e.engine));
        QVERIFY(c.list().isEmpty());
        QCOMPARE(e.value(QStringLiteral("a")), 0.0);
        QCOMPARE(e.class1.halfpi, 0.0);
        QVERIFY(!c.remove(0, e.engine)); // no entry: nothing happens
        QVERIFY(e.notified.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestConstants)
#include "test_constants.moc"
