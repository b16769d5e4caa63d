#include "app/ProcessDecimalSeparator.h"

#include <clocale>

QString ProcessDecimalSeparator::read() const
{
    return QLocale::system().decimalPoint();
}

void ProcessDecimalSeparator::write(const QString& separator)
{
    if (separator == QLatin1String(".")) {
        if (switched_) return;
        previousDefault_ = QLocale();
        const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
        previousNumeric_ = numeric ? numeric : "C";
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
        switched_ = true;
        return;
    }
    if (!switched_) return;
    QLocale::setDefault(previousDefault_);
    std::setlocale(LC_NUMERIC, previousNumeric_.c_str());
    switched_ = false;
}
