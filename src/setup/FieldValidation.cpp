#include "setup/FieldValidation.h"

#include "setup/FieldTable.h"
#include "setup/FormFields.h"
#include "setup/NumberText.h"

#include <cmath>
#include <limits>

namespace {
struct LimitPair
{
    QString lower;
    QString upper;
    bool mayBeEqual; // domain limits may be equal, window limits may not
};

const QList<LimitPair>& limitPairs()
{
    static const QList<LimitPair> pairs = {
        {QStringLiteral("txtWindowlx"), QStringLiteral("txtWindowgx"), false},
        {QStringLiteral("txtWindowly"), QStringLiteral("txtWindowgy"), false},
        {QStringLiteral("txtWindowlz"), QStringLiteral("txtWindowgz"), false},
        {QStringLiteral("txtRangelxu"), QStringLiteral("txtRangegxu"), true},
        {QStringLiteral("txtRangelyv"), QStringLiteral("txtRangegyv"), true},
    };
    return pairs;
}

enum class Rule
{
    Divisions,
    Reduce,
    Count,
    Grid,
    Order,
    None
};

Rule ruleOf(const QString& control)
{
    static const QStringList divisions = {QStringLiteral("txtDivx"), QStringLiteral("txtDivy"),
                                          QStringLiteral("txtDivz")};
    static const QStringList counts = {QStringLiteral("txtSpacexu"), QStringLiteral("txtSpaceyv"),
                                       QStringLiteral("txtSegsxu"), QStringLiteral("txtSegsyv"),
                                       QStringLiteral("txtNdots")};
    if (divisions.contains(control)) return Rule::Divisions;
    if (control == QLatin1String("txtReduce")) return Rule::Reduce;
    if (counts.contains(control)) return Rule::Count;
    if (control == QLatin1String("txtGrid")) return Rule::Grid;
    if (FieldValidation::derivativeFields().contains(control)) return Rule::Order;
    return Rule::None;
}

bool isWhole(double value)
{
    return value == std::floor(value);
}

// A count the field reader can store: whole, at least minimum, within 32 bits.
bool acceptableCount(double value, double minimum, double maximum)
{
    bool ok = isWhole(value);
    if (value < minimum) ok = false;
    if (value > maximum) ok = false;
    return ok;
}
} // namespace

namespace FieldValidation {
const QStringList& focusSelectFields()
{
    static const QStringList list = [] {
        QStringList names;
        for (const FieldInfo& f : FieldTable::textFields())
            names.append(f.control);
        return names;
    }();
    return list;
}

const QStringList& validatedFields()
{
    static const QStringList list = {
        QStringLiteral("txtDivx"),   QStringLiteral("txtDivy"),    QStringLiteral("txtDivz"),
        QStringLiteral("txtReduce"), QStringLiteral("txtSpacexu"), QStringLiteral("txtSpaceyv"),
        QStringLiteral("txtSegsxu"), QStringLiteral("txtSegsyv"),  QStringLiteral("txtNdots"),
        QStringLiteral("txtGrid"),   QStringLiteral("txtXder"),    QStringLiteral("txtYder"),
    };
    return list;
}

const QStringList& limitFields()
{
    static const QStringList list = [] {
        QStringList names;
        for (const LimitPair& p : limitPairs())
            names << p.lower << p.upper;
        return names;
    }();
    return list;
}

const QStringList& derivativeFields()
{
    static const QStringList list = {QStringLiteral("txtXder"), QStringLiteral("txtYder")};
    return list;
}

bool validate(const QString& control, const FormFields& fields, const Evaluate& evaluate)
{
    const QString text = fields.text(control);
    const double int32Max = double(std::numeric_limits<qint32>::max());
    double value = 0;
    switch (ruleOf(control)) {
    case Rule::Divisions:
        if (evaluate(control, text, value) != 0) return false;
        return value > 0;
    case Rule::Reduce: {
        // Each test reads the text again; an engine failure ends the checks at once, so its
        // message shows only once.
        if (evaluate(control, text, value) != 0) return false;
        bool ok = value > 0;
        if (evaluate(control, text, value) != 0) return false;
        if (!(value <= 1)) ok = false;
        return ok;
    }
    case Rule::Count:
        return acceptableCount(LeadingNumber(text), 1, int32Max);
    case Rule::Grid:
        return acceptableCount(LeadingNumber(text), 0, int32Max);
    case Rule::Order:
        return acceptableCount(LeadingNumber(text), 0, 2);
    case Rule::None:
        break;
    }
    return true;
}

QString limitPairPartner(const QString& control, const FormFields& fields, const Evaluate& evaluate)
{
    for (const LimitPair& p : limitPairs()) {
        if (control != p.lower && control != p.upper) continue;
        double lower = 0;
        double upper = 0;
        if (evaluate(p.lower, fields.text(p.lower), lower) != 0) return {};
        if (evaluate(p.upper, fields.text(p.upper), upper) != 0) return {};
        const bool outOfOrder = p.mayBeEqual ? lower > upper : lower >= upper;
        if (!outOfOrder) return {};
        return control == p.lower ? p.upper : p.lower;
    }
    return {};
}

QString derivativeSumPartner(const QString& control, const FormFields& fields)
{
    const QString x = QStringLiteral("txtXder");
    const QString y = QStringLiteral("txtYder");
    if (control != x && control != y) return {};
    if (LeadingNumber(fields.text(y)) + LeadingNumber(fields.text(x)) > 2)
        return control == x ? y : x;
    return {};
}
} // namespace FieldValidation
