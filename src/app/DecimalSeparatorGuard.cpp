#include "app/DecimalSeparatorGuard.h"

#include <utility>

DecimalSeparatorGuard::DecimalSeparatorGuard(DecimalSeparatorSetting& setting, Question ask)
    : setting_(setting), ask_(std::move(ask))
{
}

QString DecimalSeparatorGuard::title()
{
    return QStringLiteral("Decimal Comma Warning!");
}

const QStringList& DecimalSeparatorGuard::lines()
{
    static const QStringList list = {
        QStringLiteral(
            "Proper operation of this application requires the use of the DECIMAL POINT."),
        QStringLiteral("Your system is currently using the DECIMAL COMMA."),
        QString(),
        QStringLiteral("Do you wish to temporarily change this system setting to decimal point?"),
        QStringLiteral("(Upon exiting, this application will restore your setting.)"),
        QStringLiteral(
            "(See \"The decimal point\" in the help file for how to change it by hand.)"),
        QString(),
        QStringLiteral("Press YES to change."),
    };
    return list;
}

QString DecimalSeparatorGuard::text()
{
    return lines().join(QLatin1Char('\n'));
}

void DecimalSeparatorGuard::ReadDecimalSeparator()
{
    SavedDecimalSeparator = setting_.read();
}

void DecimalSeparatorGuard::SetDecimalPoint()
{
    setting_.write(QStringLiteral("."));
}

bool DecimalSeparatorGuard::CheckDecimalSeparator()
{
    ReadDecimalSeparator();
    if (SavedDecimalSeparator == QLatin1String(".")) return true;
    if (!ask_ || ask_(title(), text()) != Answer::Yes) return false;
    SetDecimalPoint();
    return true;
}

void DecimalSeparatorGuard::RestoreDecimalSeparator()
{
    if (SavedDecimalSeparator.isEmpty()) return;
    setting_.write(SavedDecimalSeparator);
}
