#include "app/DecimalSeparatorGuard.h"
#include "app/ProcessDecimalSeparator.h"

#include <QLocale>
#include <QtTest>
#include <clocale>
#include <cstdio>

namespace {
// The user's setting as a plain value, with every write recorded.
class FakeSetting : public DecimalSeparatorSetting
{
public:
    explicit FakeSetting(QString value) : value_(std::move(value)) {}
    QString read() const override { return value_; }
    void write(const QString& separator) override
    {
        value_ = separator;
        writes.append(separator);
    }
    const QString& value() const { return value_; }
    QStringList writes;

private:
    QString value_;
};
} // namespace

Q_DECLARE_METATYPE(DecimalSeparatorGuard::Answer)

class TestDecimalGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUp_data();
    void startUp();
    void processSwitch();
    void processRestoreWithoutSwitch();
};

void TestDecimalGuard::startUp_data()
{
    using A = DecimalSeparatorGuard::Answer;
    QTest::addColumn<QString>("separator");
    QTest::addColumn<A>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("duringRun");
    QTest::addColumn<QStringList>("writes"); // after start-up and restore

    QTest::newRow("point, no question") << "." << A::No << false << true << "." << QStringList{"."};
    QTest::newRow("comma, yes") << "," << A::Yes << true << true << "." << QStringList{".", ","};
    QTest::newRow("comma, no") << "," << A::No << true << false << "," << QStringList{};
    QTest::newRow("space, yes") << " " << A::Yes << true << true << "." << QStringList{".", " "};
    QTest::newRow("point with a blank is no point")
        << ". " << A::Yes << true << true << "." << QStringList{".", ". "};
    QTest::newRow("unreadable, yes, never written back")
        << "" << A::Yes << true << true << "." << QStringList{"."};
    QTest::newRow("unreadable, cancel") << "" << A::Cancel << true << false << "" << QStringList{};
}

void TestDecimalGuard::startUp()
{
    using A = DecimalSeparatorGuard::Answer;
    QFETCH(QString, separator);
    QFETCH(A, answer);
    QFETCH(bool, asked);
    QFETCH(bool, goesOn);
    QFETCH(QString, duringRun);
    QFETCH(QStringList, writes);

    FakeSetting setting(separator);
    int questions = 0;
    QString title, text;
    QStringList writesBeforeAnswer;
    DecimalSeparatorGuard guard(setting, [&](const QString& t, const QString& x) {
        ++questions;
        title = t;
        text = x;
        writesBeforeAnswer = setting.writes;
        return answer;
    });
    QCOMPARE(guard.CheckDecimalSeparator(), goesOn);
    QCOMPARE(questions, asked ? 1 : 0);
    if (asked) {
        QCOMPARE(title, QStringLiteral("Decimal Comma Warning!"));
        QCOMPARE(text, DecimalSeparatorGuard::text());
        QVERIFY(writesBeforeAnswer.isEmpty());
    }
    QCOMPARE(setting.value(), duringRun);
    QCOMPARE(guard.savedDecimalSeparator(), separator);
    if (!goesOn) {
        QVERIFY(setting.writes.isEmpty());
        return; // the program ends: no window, no restore
    }
    guard.RestoreDecimalSeparator();
    QCOMPARE(setting.writes, writes);
    if (!separator.isEmpty()) QCOMPARE(setting.value(), separator);
}

void TestDecimalGuard::processSwitch()
{
    const QLocale before = QLocale();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    const std::string numericBefore = std::setlocale(LC_NUMERIC, nullptr);

    ProcessDecimalSeparator process;
    const QString read = process.read();
    QCOMPARE(read, QLocale::system().decimalPoint());
    process.write(QStringLiteral("."));
    QVERIFY(process.isSwitched());
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
    QCOMPARE(QLocale().toString(2.5), QStringLiteral("2.5"));
    QCOMPARE(QLocale().toDouble(QStringLiteral("2.5")), 2.5);
    QCOMPARE(std::string(std::localeconv()->decimal_point), std::string("."));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 2.5);
    QCOMPARE(QByteArray(buf), QByteArray("2.5"));

    process.write(QStringLiteral(","));
    QVERIFY(!process.isSwitched());
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    QCOMPARE(std::string(std::setlocale(LC_NUMERIC, nullptr)), numericBefore);
    QLocale::setDefault(before);
}

void TestDecimalGuard::processRestoreWithoutSwitch()
{
    const QLocale before = QLocale();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    ProcessDecimalSeparator process;
    process.write(QStringLiteral(",")); // nothing was switched: nothing to put back
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    process.write(QStringLiteral("."));
    process.write(QStringLiteral(".")); // a second switch keeps the first saved state
    process.write(QStringLiteral(","));
    QCOMPARE(QLocale().language(), QLocale::French);
    QLocale::setDefault(before);
}

QTEST_APPLESS_MAIN(TestDecimalGuard)
#include "test_decimalguard.moc"
