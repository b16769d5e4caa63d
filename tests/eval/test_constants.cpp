#include "common/EngineFixture.h"
#include "eval/UserConstants.h"

#include <QtTest>

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
        QTest::newRow("first") << none << "a=2.37" << true << QStringList{"a=2.37"};
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
        QCOMPARE(c.list(), before);
        QCOMPARE(c.add(text),
                 added ? UserConstants::AddResult::Added : UserConstants::AddResult::Refused);
        QCOMPARE(c.list(), after);
        QCOMPARE(c.count(), qint32(after.size()));
    }

    void capacity()
    {
        UserConstants c;
        QStringList full;
        for (int i = 0; i < UserConstants::Capacity; ++i) {
            full.append(QStringLiteral("k%1=%1").arg(i));
            QCOMPARE(c.add(full.last()), UserConstants::AddResult::Added);
        }
        QCOMPARE(c.count(), 101);
        QCOMPARE(c.add(QStringLiteral("extra=1")), UserConstants::AddResult::ListFull);
        QCOMPARE(c.list(), full);
        QCOMPARE(c.count(), 101);
        // A refused text stays refused, not "full".
        QCOMPARE(c.add(QStringLiteral("1x=1")), UserConstants::AddResult::Refused);
        // Redefining a listed name still works when full.
        QCOMPARE(c.add(QStringLiteral("k0=-1")), UserConstants::AddResult::Added);
        QCOMPARE(c.count(), 101);
        QCOMPARE(c.list().first(), QStringLiteral("k1=1"));
        QCOMPARE(c.list().last(), QStringLiteral("k0=-1"));
    }

    void setAll()
    {
        UserConstants c = withTexts({QStringLiteral("a=1")});
        QVERIFY(c.setAll({QStringLiteral("p=2"), QStringLiteral("q=p+1")}));
        // After Open, add still finds the names read from the file.
        QCOMPARE(c.add(QStringLiteral("p=7")), UserConstants::AddResult::Added);
        QCOMPARE(c.list(), (QStringList{"q=p+1", "p=7"}));
        QStringList tooMany;
        for (int i = 0; i <= UserConstants::Capacity; ++i)
            tooMany.append(QStringLiteral("n%1=0").arg(i));
        QVERIFY(!c.setAll(tooMany));
        QCOMPARE(c.list(), (QStringList{"q=p+1", "p=7"}));
    }

    void removeRunsZeroStatement_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("after");

        QTest::newRow("only entry") << QStringList{"a=2.37"} << 0 << "a" << QStringList{};
    }
    void removeRunsZeroStatement()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QStringList, after);

        EngineFixture e;
        UserConstants c = withTexts(texts);
        QCOMPARE(c.registerAll(e.engine), 0);
        QVERIFY(e.value(name) != 0);
        QVERIFY(c.remove(index, e.engine));
        QCOMPARE(c.list(), after);
        QCOMPARE(e.value(name), 0.0);
        QVERIFY(e.notified.isEmpty());
        // No entry: nothing happens.
        QVERIFY(!c.remove(int(after.size()), e.engine));
        QVERIFY(!c.remove(-1, e.engine));
        QCOMPARE(c.list(), after);
    }

    void registrationOrder_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("expected");

        // The engine holds a=1 from an earlier registration.
        QTest::newRow("b after a") << QStringList{"a=3", "b=a*2"} << "b" << 6.0;
        QTest::newRow("b before a uses the older a") << QStringList{"b=a*2", "a=3"} << "b" << 2.0;
    }
    void registrationOrder()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, expression);
        QFETCH(double, expected);

        EngineFixture e;
        QCOMPARE(e.engine.executeStatement(QStringLiteral("a=1")), 0);
        const UserConstants c = withTexts(texts);
        QCOMPARE(c.registerAll(e.engine), 0);
        QCOMPARE(e.value(expression), expected);
        QVERIFY(e.notified.isEmpty());
    }

    void failingStatementDoesNotStopOthers()
    {
        EngineFixture e;
        UserConstants c = withTexts({QStringLiteral("a=1"), QStringLiteral("b=(("),
                                     QStringLiteral("c=1/0"), QStringLiteral("d=4")});
        const qint32 first = c.registerAll(e.engine);
        QVERIFY(first != 0);
        QCOMPARE(e.notified.size(), 2);
        QCOMPARE(first, e.notified.first().number);
        QCOMPARE(e.value(QStringLiteral("a")), 1.0);
        QCOMPARE(e.value(QStringLiteral("d")), 4.0);
        QCOMPARE(c.list().size(), 4); // the list keeps the failing entries
    }

    void halfpiIsClass1s()
    {
        EngineFixture e;
        UserConstants c = withTexts({QStringLiteral("halfpi=1")});
        c.registerAll(e.engine);
        QCOMPARE(e.class1.halfpi, 1.0);
        QVERIFY(c.remove(0, e.engine));
        QCOMPARE(e.class1.halfpi, 0.0);
    }
};

QTEST_APPLESS_MAIN(TestConstants)
#include "test_constants.moc"
