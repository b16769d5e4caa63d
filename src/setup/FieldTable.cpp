#include "setup/FieldTable.h"

namespace {
QList<FieldInfo> makeTextFields()
{
    const QString z = QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5");
    return {
        {QStringLiteral("txtEquationZ"), z},
        {QStringLiteral("txtEquationY"), QStringLiteral("u")},
        {QStringLiteral("txtEquationX"), QStringLiteral("v")},
        {QStringLiteral("txtWindowlx"), QStringLiteral("-2.5")},
        {QStringLiteral("txtWindowgx"), QStringLiteral("2.5")},
        {QStringLiteral("txtWindowly"), QStringLiteral("-2")},
        {QStringLiteral("txtWindowgy"), QStringLiteral("2")},
        {QStringLiteral("txtWindowlz"), QStringLiteral("-1.5")},
        {QStringLiteral("txtWindowgz"), QStringLiteral("1.5")},
        {QStringLiteral("txtRangelxu"), QStringLiteral("-1")},
        {QStringLiteral("txtRangegxu"), QStringLiteral("1")},
        {QStringLiteral("txtRangelyv"), QStringLiteral("-1")},
        {QStringLiteral("txtRangegyv"), QStringLiteral("1")},
        {QStringLiteral("txtXrot"), QStringLiteral("0")},
        {QStringLiteral("txtYrot"), QStringLiteral("0")},
        {QStringLiteral("txtZrot"), QStringLiteral("0")},
        {QStringLiteral("txtXtr"), QStringLiteral("0")},
        {QStringLiteral("txtYtr"), QStringLiteral("0")},
        {QStringLiteral("txtZtr"), QStringLiteral("0")},
        {QStringLiteral("txtSpacexu"), QStringLiteral("10")},
        {QStringLiteral("txtSpaceyv"), QStringLiteral("10")},
        {QStringLiteral("txtSegsxu"), QStringLiteral("2")},
        {QStringLiteral("txtSegsyv"), QStringLiteral("2")},
        {QStringLiteral("txtXorigin"), QStringLiteral("0")},
        {QStringLiteral("txtYorigin"), QStringLiteral("0")},
        {QStringLiteral("txtZorigin"), QStringLiteral("0")},
        {QStringLiteral("txtDivx"), QStringLiteral("1")},
        {QStringLiteral("txtDivy"), QStringLiteral("1")},
        {QStringLiteral("txtDivz"), QStringLiteral("1")},
        {QStringLiteral("txtNdots"), QStringLiteral("5000")},
        {QStringLiteral("txtGrid"), QStringLiteral("5")},
        {QStringLiteral("txtStereo"), QStringLiteral("1")},
        {QStringLiteral("txtReduce"), QStringLiteral("1")},
        {QStringLiteral("txtXder"), QStringLiteral("0")},
        {QStringLiteral("txtYder"), QStringLiteral("0")},
        {QStringLiteral("txtStepWindX"), QStringLiteral("1")},
        {QStringLiteral("txtStepWindY"), QStringLiteral("1")},
        {QStringLiteral("txtStepWindZ"), QStringLiteral("1")},
        {QStringLiteral("txtStepRangXU"), QStringLiteral("1")},
        {QStringLiteral("txtStepRangYV"), QStringLiteral("1")},
        {QStringLiteral("txtStepRotX"), QStringLiteral("5")},
        {QStringLiteral("txtStepRotY"), QStringLiteral("5")},
        {QStringLiteral("txtStepRotZ"), QStringLiteral("5")},
        {QStringLiteral("txtStepTranX"), QStringLiteral("1")},
        {QStringLiteral("txtStepTranY"), QStringLiteral("1")},
        {QStringLiteral("txtStepTranZ"), QStringLiteral("1")},
    };
}
} // namespace

namespace FieldTable {
const QList<FieldInfo>& textFields()
{
    static const QList<FieldInfo> fields = makeTextFields();
    return fields;
}

const QList<CheckInfo>& checks()
{
    static const QList<CheckInfo> list = {
        {QStringLiteral("chkLines"), true},
        {QStringLiteral("chkDots"), false},
        {QStringLiteral("chkPersist"), false},
        {QStringLiteral("chkParametric"), false},
    };
    return list;
}

const QList<OptionInfo>& options()
{
    static const QList<OptionInfo> list = {
        {QStringLiteral("optBackclr"), 1},
        {QStringLiteral("OptAccuracy"), 0},
    };
    return list;
}

QString defaultText(const QString& control)
{
    for (const FieldInfo& f : textFields())
        if (f.control == control)
            return f.defaultText;
    if (control == QLatin1String("cboConstants"))
        return QStringLiteral("Example: a=2.37");
    return {};
}

bool isTextField(const QString& control)
{
    for (const FieldInfo& f : textFields())
        if (f.control == control)
            return true;
    return false;
}

bool isCheck(const QString& control)
{
    for (const CheckInfo& c : checks())
        if (c.control == control)
            return true;
    return false;
}

bool isOption(const QString& group)
{
    for (const OptionInfo& o : options())
        if (o.group == group)
            return true;
    return false;
}
} // namespace FieldTable
