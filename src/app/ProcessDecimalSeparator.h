#pragma once

// The decimal separator as this process sees it: read from the user's locale (LC_NUMERIC);
// switching to "." changes only how this process formats and parses numbers (Qt's default
// locale and the C library's LC_NUMERIC), never another program's setting or a system file.
// Used by main() for the DecimalSeparatorGuard.

#include "app/DecimalSeparatorGuard.h"

#include <QLocale>
#include <string>

class ProcessDecimalSeparator : public DecimalSeparatorSetting
{
public:
    QString read() const override; // QLocale::system().decimalPoint()

    // "." switches this process to the C number conventions, remembering the state before;
    // any other separator puts that state back (nothing happens when no switch was made).
    void write(const QString& separator) override;

    bool isSwitched() const { return switched_; }

private:
    bool switched_ = false;
    QLocale previousDefault_;
    std::string previousNumeric_;
};
