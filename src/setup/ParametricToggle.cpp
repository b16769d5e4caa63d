#include "setup/ParametricToggle.h"

#include "setup/FormFields.h"

namespace ParametricToggle {
const QList<ParametricVisibility>& visibilities()
{
    static const QList<ParametricVisibility> list = {
        {QStringLiteral("FraDer"), false},      {QStringLiteral("fraAccuracy"), false},
        {QStringLiteral("lblY"), true},         {QStringLiteral("lblX"), true},
        {QStringLiteral("txtEquationY"), true}, {QStringLiteral("txtEquationX"), true},
    };
    return list;
}

const QList<ParametricText>& texts()
{
    static const QList<ParametricText> list = {
        {QStringLiteral("lblZ"), false, QStringLiteral("z(u,v)="), QStringLiteral("z(x,y)=")},
        {QStringLiteral("txtEquationZ"), true,
         QStringLiteral("Function must be entered in terms of \"u\" and \"v\""),
         QStringLiteral("Function must be entered in terms of \"x\" and \"y\"")},
        {QStringLiteral("lblxu"), false, QStringLiteral("<=u<="), QStringLiteral("<=x<=")},
        {QStringLiteral("lblyv"), false, QStringLiteral("<=v<="), QStringLiteral("<=y<=")},
        {QStringLiteral("lblSpacexu"), false, QStringLiteral("u:"), QStringLiteral("x:")},
        {QStringLiteral("lblSegsxu"), false, QStringLiteral("u:"), QStringLiteral("x:")},
        {QStringLiteral("lblSpaceyv"), false, QStringLiteral("v:"), QStringLiteral("y:")},
        {QStringLiteral("lblSegsyv"), false, QStringLiteral("v:"), QStringLiteral("y:")},
    };
    return list;
}

void apply(FormFields& fields)
{
    const bool parametric = fields.isChecked(QStringLiteral("chkParametric"));
    for (const ParametricVisibility& v : visibilities())
        fields.setShown(v.control, v.shownWhenParametric == parametric);
    for (const ParametricText& t : texts()) {
        const QString& text = parametric ? t.parametric : t.explicitText;
        if (t.isToolTip)
            fields.setToolTip(t.control, text);
        else
            fields.setCaption(t.control, text);
    }
}
} // namespace ParametricToggle
