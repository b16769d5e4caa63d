#include "app/DecimalSeparatorGuard.h"
#include "app/ProcessDecimalSeparator.h"

#include <QLocale>
#include <QtTest>
#include <clocale>

namespace {
// The user's setting as a plain value, with every write recorded.
class FakeSetting : public DecimalSeparatorSetting
{
public:
    explicit FakeSetting(QString value) : value(std::move(value)) {}
    QString read() const override { return value; }
    void write(const QString& separator) override { writes.append(value = separator); }
    QString value;
    QStringList writes;
};
} // namespace

Q_DECLARE_METATYPE(DecimalSeparatorGuard::Answer)

class TestDecimalGuard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp_data()
    {
        using A = DecimalSeparatorGuard::Answer;
        QTest::addColumn<QString>("separator");
        QTest::addColumn<A>("answer"); // No: no question expected
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QStringList>("writes"); // after start-up and restore
        QTest::newRow("point, no question") << "." << A::No << true << QStringList{"."};
        QTest::newRow("comma, yes") << "," << A::Yes << true << QStringList{".", ","};
        QTest::newRow("comma, no") << "," << A::No << false << QStringList{};
        QTest::newRow("unreadable, cancel") << "" << A::Cancel << false << QStringList{};
    }
    void startUp()
    {
        using A = DecimalSeparatorGuard::Answer;
        QFETCH(QString, separator);
        QFETCH(A, answer);
        QFETCH(bool, goesOn);
        QFETCH(QStringList, writes);
        FakeSetting setting(separator);
        QStringList asked;
        DecimalSeparatorGuard guard(setting, [&](const QString& title, const QString& text) {
            asked << title << text << setting.writes; // nothing is written before the answer
            return answer;
        });
        QCOMPARE(guard.CheckDecimalSeparator(), goesOn);
        QCOMPARE(asked,
                 (separator == QLatin1String(".")
                      ? QStringList()
                      : QStringList{"Decimal Comma Warning!", DecimalSeparatorGuard::text()}));
        QCOMPARE(setting.value, goesOn ? QStringLiteral(".") : separator);
        QCOMPARE(guard.savedDecimalSeparator(), separator);
        if (goesOn) guard.RestoreDecimalSeparator(); // else the program ends: no restore
        QCOMPARE(setting.writes, writes);
    }

    void processSwitchAndRestore()
    {
        const QLocale before = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const std::string numericBefore = std::setlocale(LC_NUMERIC, nullptr);
        ProcessDecimalSeparator process;
        process.write(QStringLiteral(",")); // nothing was switched: nothing to put back
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        process.write(QStringLiteral("."));
        process.write(QStringLiteral(".")); // a second switch keeps the first saved state
        QVERIFY(process.isSwitched());
        QCOMPARE(std::string(std::localeconv()->decimal_point), std::string("."));
        process.write(QStringLiteral(","));
        QVERIFY(!process.isSwitched());
        QCOMPARE(QLocale().language(), QLocale::German);
        QCOMPARE(std::string(std::setlocale(LC_NUMERIC, nullptr)), numericBefore);
        QLocale::setDefault(before);
    }
};

QTEST_APPLESS_MAIN(TestDecimalGuard)
#include "test_decimalguard.moc"
