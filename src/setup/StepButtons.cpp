#include "setup/StepButtons.h"

#include "setup/FormFields.h"
#include "setup/NumberText.h"

#include <cmath>

namespace {
QList<StepButton> makeTable()
{
    const QString minus = QStringLiteral("-");
    const QString plus = QStringLiteral("+");
    const QString subUnits = QStringLiteral("Subtract the number of units show on the right");
    const QString addUnits = QStringLiteral("Add the number of units show on the right");
    const QString subDegrees = QStringLiteral("Subtract the number of degrees show on the right");
    const QString addDegrees = QStringLiteral("Add the number of degrees show on the right");

    QList<StepButton> list;
    auto interval = [&](const char* name, const char* step, const char* lower, const char* upper) {
        const QString n = QLatin1String(name);
        const QString s = QLatin1String(step);
        const QString l = QLatin1String(lower);
        const QString u = QLatin1String(upper);
        list.append({QStringLiteral("cmdDec") + n, minus, subUnits, s, l, u, false});
        list.append({QStringLiteral("cmdInc") + n, plus, addUnits, s, l, u, true});
    };
    auto single = [&](const char* name, const char* step, const char* field, bool degrees) {
        const QString n = QLatin1String(name);
        const QString s = QLatin1String(step);
        const QString f = QLatin1String(field);
        list.append({QStringLiteral("cmdDec") + n,
                     minus,
                     degrees ? subDegrees : subUnits,
                     s,
                     f,
                     {},
                     false});
        list.append(
            {QStringLiteral("cmdInc") + n, plus, degrees ? addDegrees : addUnits, s, f, {}, true});
    };
    interval("WindX", "txtStepWindX", "txtWindowlx", "txtWindowgx");
    interval("WindY", "txtStepWindY", "txtWindowly", "txtWindowgy");
    interval("WindZ", "txtStepWindZ", "txtWindowlz", "txtWindowgz");
    interval("RangXU", "txtStepRangXU", "txtRangelxu", "txtRangegxu");
    interval("RangYV", "txtStepRangYV", "txtRangelyv", "txtRangegyv");
    single("RotX", "txtStepRotX", "txtXrot", true);
    single("RotY", "txtStepRotY", "txtYrot", true);
    single("RotZ", "txtStepRotZ", "txtZrot", true);
    single("TranX", "txtStepTranX", "txtXtr", false);
    single("TranY", "txtStepTranY", "txtYtr", false);
    single("TranZ", "txtStepTranZ", "txtZtr", false);
    return list;
}

QList<StepField> makeStepFields()
{
    const QString units = QStringLiteral("Units to add or subtract");
    const QString degrees = QStringLiteral("Degrees to add or subtract");
    return {
        {QStringLiteral("txtStepWindX"), units},  {QStringLiteral("txtStepWindY"), units},
        {QStringLiteral("txtStepWindZ"), units},  {QStringLiteral("txtStepRangXU"), units},
        {QStringLiteral("txtStepRangYV"), units}, {QStringLiteral("txtStepRotX"), degrees},
        {QStringLiteral("txtStepRotY"), degrees}, {QStringLiteral("txtStepRotZ"), degrees},
        {QStringLiteral("txtStepTranX"), units},  {QStringLiteral("txtStepTranY"), units},
        {QStringLiteral("txtStepTranZ"), units},
    };
}

// Half the step, rounded through its text as the limits are.
bool halfStep(const QString& stepText, double& h)
{
    double step = 0;
    if (!ParseCompleteNumber(stepText, step)) return false;
    h = LeadingNumber(FormatNumber15(step / 2));
    return std::isfinite(h);
}

void pressInterval(const StepButton& b, FormFields& fields)
{
    double h = 0;
    if (!halfStep(fields.text(b.stepField), h)) return;
    const double sign = b.increase ? 1 : -1;
    const double lower = LeadingNumber(fields.text(b.field)) - sign * h;
    const double upper = LeadingNumber(fields.text(b.upperField)) + sign * h;
    // A result beyond the double range would write "Infinity": keep both limits instead.
    if (!std::isfinite(lower) || !std::isfinite(upper)) return;
    fields.setText(b.field, FormatNumber15(lower));
    fields.setText(b.upperField, FormatNumber15(upper));
}

void pressSingle(const StepButton& b, FormFields& fields)
{
    const double s = LeadingNumber(fields.text(b.stepField));
    const double value = LeadingNumber(fields.text(b.field)) + (b.increase ? s : -s);
    if (!std::isfinite(value)) return;
    fields.setText(b.field, FormatNumber15(value));
}
} // namespace

namespace StepButtons {
const QList<StepButton>& table()
{
    static const QList<StepButton> list = makeTable();
    return list;
}

const QList<StepField>& stepFields()
{
    static const QList<StepField> list = makeStepFields();
    return list;
}

const StepButton* find(const QString& button)
{
    for (const StepButton& b : table()) {
        if (b.button == button) return &b;
    }
    return nullptr;
}

bool press(const QString& button, FormFields& fields)
{
    const StepButton* b = find(button);
    if (!b) return false;
    if (b->isInterval())
        pressInterval(*b, fields);
    else
        pressSingle(*b, fields);
    return true;
}
} // namespace StepButtons
