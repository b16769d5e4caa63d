#include "setup/DrawOptions.h"

#include "setup/FormFields.h"

DrawOptions DrawOptions::read(const FormFields& fields)
{
    DrawOptions o;
    o.Lines = fields.isChecked(QStringLiteral("chkLines"));
    o.Dots = fields.isChecked(QStringLiteral("chkDots"));
    o.Persist = fields.isChecked(QStringLiteral("chkPersist"));
    o.Parametric = fields.isChecked(QStringLiteral("chkParametric"));
    o.BlackBackground = fields.option(QStringLiteral("optBackclr")) != 0;
    o.HighAccuracy = fields.option(QStringLiteral("OptAccuracy")) == 1;
    return o;
}
