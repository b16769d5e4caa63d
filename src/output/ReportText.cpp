#include "output/ReportText.h"

#include "setup/DerivTables.h"
#include "setup/NumberText.h"

#include <initializer_list>

namespace {
QString bracketed(const char* label, std::initializer_list<QString> items)
{
    QString line = QLatin1String(label);
    bool first = true;
    for (const QString& item : items) {
        if (!first) line += QLatin1Char(',');
        line += item;
        first = false;
    }
    return line + QLatin1Char(']');
}
} // namespace

namespace ReportText {
QString numberItem(float value)
{
    const QString digits = FormatNumber7(value);
    return value < 0 ? digits + QLatin1Char(' ') : QLatin1Char(' ') + digits + QLatin1Char(' ');
}

QString numberItem(qint32 value)
{
    const QString digits = QString::number(value);
    return value < 0 ? digits + QLatin1Char(' ') : QLatin1Char(' ') + digits + QLatin1Char(' ');
}

QStringList lines(const PlotSetup& s, bool parametric, const QString& equationZ,
                  const QString& equationX, const QString& equationY, const QStringList& constants)
{
    auto n = [](auto value) { return numberItem(value); };
    QStringList out;
    if (parametric) {
        out << QStringLiteral("PARAMETRIC EQUATIONS:") << QStringLiteral("X=") + equationX
            << QStringLiteral("Y=") + equationY << QStringLiteral("Z=") + equationZ;
    } else {
        out << QStringLiteral("FUNCTION:") << QStringLiteral("Z=") + equationZ;
        if (qint64(s.Xder) + s.Yder != 0)
            out << QString()
                << QStringLiteral("   CURRENT PARTIAL DERIVATIVE: [") +
                       DerivTables::DerivNames(s.Xder, s.Yder) + QLatin1Char(']');
    }
    out << QString();
    if (!constants.isEmpty()) out << QStringLiteral("CONSTANTS:") << constants << QString();
    out << QStringLiteral("PLOT SETUP:");
    out << bracketed("                         AXES: [",
                     {n(s.Xorigin), n(s.Yorigin), n(s.Zorigin)});
    out << bracketed("                    DIVISIONS: [", {n(s.Divx), n(s.Divy), n(s.Divz)});
    out << bracketed(parametric ? "                      U-RANGE: ["
                                : "                      X-RANGE: [",
                     {n(s.Rangelxu), n(s.Rangegxu)});
    out << bracketed(parametric ? "                      V-RANGE: ["
                                : "                      Y-RANGE: [",
                     {n(s.Rangelyv), n(s.Rangegyv)});
    out << bracketed("                     X-WINDOW: [", {n(s.Windowlx), n(s.Windowgx)});
    out << bracketed("                     Y-WINDOW: [", {n(s.Windowly), n(s.Windowgy)});
    out << bracketed("                     Z-WINDOW: [", {n(s.Windowlz), n(s.Windowgz)});
    out << bracketed("           NUMBER OF SPACINGS: [", {n(s.Spacexu), n(s.Spaceyv)});
    out << bracketed("                     SPACINGS: [", {n(s.StepXu), n(s.StepYv)});
    out << bracketed("PLOTTING SEGMENTS PER SPACING: [", {n(s.Segsxu), n(s.Segsyv)});
    out << bracketed("          PLOTTING INCREMENTS: [", {n(s.SegXu), n(s.SegYv)});
    out << bracketed("                  TRANSLATION: [", {n(s.Xtr), n(s.Ytr), n(s.Ztr)});
    out << bracketed("                     ROTATION: [", {n(s.Xrot), n(s.Yrot), n(s.Zrot)});
    out << QStringLiteral("               NUMBER OF DOTS: ") + n(s.Ndots);
    out << QStringLiteral("          STEREOSCOPIC FACTOR:") + n(s.EyeFactor[0]);
    out << QStringLiteral("             REDUCTION FACTOR:") + n(s.Reduce);
    return out;
}
} // namespace ReportText
