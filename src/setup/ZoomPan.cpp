#include "setup/ZoomPan.h"

#include "setup/FormFields.h"
#include "setup/NumberText.h"
#include "setup/PlotSetup.h"

#include <array>
#include <cmath>
#include <limits>

namespace {
QList<ZoomPanButton> makeButtons()
{
    QList<ZoomPanButton> list;
    list.append(
        {QStringLiteral("cmdZoomOut"), QStringLiteral("Out"), QStringLiteral("Zoom out"), 0});
    for (int q = 1; q <= 8; ++q) {
        list.append({QStringLiteral("cmdZoomQ%1").arg(q), QString::number(q),
                     QStringLiteral("Zoom octant %1").arg(q), q});
    }
    list.append({QStringLiteral("cmdZoomIn"), QStringLiteral("In"), QStringLiteral("Zoom in"), 9});
    list.append(
        {QStringLiteral("cmdPanRight"), QStringLiteral("R"), QStringLiteral("Pan right"), 10});
    list.append({QStringLiteral("cmdPanUp"), QStringLiteral("U"), QStringLiteral("Pan up"), 11});
    list.append(
        {QStringLiteral("cmdPanLeft"), QStringLiteral("L"), QStringLiteral("Pan left"), 12});
    list.append(
        {QStringLiteral("cmdPanDown"), QStringLiteral("D"), QStringLiteral("Pan down"), 13});
    list.append({QStringLiteral("cmdPanIn"), QStringLiteral("I"), QStringLiteral("Pan in"), 14});
    list.append({QStringLiteral("cmdPanOut"), QStringLiteral("O"), QStringLiteral("Pan out"), 15});
    return list;
}

// The window texts in reading and writing order: lx, gx, ly, gy, lz, gz.
const std::array<QString, 6>& windowFields()
{
    static const std::array<QString, 6> names = {
        QStringLiteral("txtWindowlx"), QStringLiteral("txtWindowgx"), QStringLiteral("txtWindowly"),
        QStringLiteral("txtWindowgy"), QStringLiteral("txtWindowlz"), QStringLiteral("txtWindowgz"),
    };
    return names;
}

// A double result stored as a float, as every working value is; false when it does not fit.
bool store(double value, float& target)
{
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return false;
    target = float(value);
    return true;
}

// One axis: the lower and upper limit, its middle and half extent.
struct Axis
{
    float low = 0, high = 0, mid = 0, half = 0;
};

bool centre(Axis& a)
{
    return store((double(a.high) + double(a.low)) / 2, a.mid) &&
           store((double(a.high) - double(a.low)) / 2, a.half);
}

bool zoomOut(Axis& a)
{
    return store(double(a.low) - double(a.half), a.low) &&
           store(double(a.high) + double(a.half), a.high);
}

bool zoomIn(Axis& a)
{
    return store((double(a.mid) + double(a.low)) / 2, a.low) &&
           store((double(a.mid) + double(a.high)) / 2, a.high);
}

bool pan(Axis& a, double sign)
{
    const double shift = sign * double(a.half) / 4;
    return store(double(a.low) + shift, a.low) && store(double(a.high) + shift, a.high);
}

// Octants 1 to 4 above the z middle, 5 to 8 below, counter-clockwise in xy from the upper
// halves of x and y: whether the upper half of x, y and z is kept.
void octant(int code, Axis& x, Axis& y, Axis& z)
{
    const int q = (code - 1) % 4;
    const bool upperX = q == 0 || q == 3;
    const bool upperY = q == 0 || q == 1;
    const bool upperZ = code <= 4;
    (upperX ? x.low : x.high) = x.mid;
    (upperY ? y.low : y.high) = y.mid;
    (upperZ ? z.low : z.high) = z.mid;
}

bool change(int code, Axis& x, Axis& y, Axis& z)
{
    switch (code) {
    case 0:
        return zoomOut(x) && zoomOut(y) && zoomOut(z);
    case 9:
        return zoomIn(x) && zoomIn(y) && zoomIn(z);
    case 10:
        return pan(y, 1);
    case 11:
        return pan(z, 1);
    case 12:
        return pan(y, -1);
    case 13:
        return pan(z, -1);
    case 14:
        return pan(x, -1);
    case 15:
        return pan(x, 1);
    default:
        if (code >= 1 && code <= 8) octant(code, x, y, z);
        return true;
    }
}
} // namespace

const QList<ZoomPanButton>& ZoomPanButtons()
{
    static const QList<ZoomPanButton> list = makeButtons();
    return list;
}

int ZoomPanCode(const QString& button)
{
    for (const ZoomPanButton& b : ZoomPanButtons()) {
        if (b.button == button) return b.code;
    }
    return -1;
}

bool ZoomPan(int code, FormFields& fields, QString& error, PlotSetup* setup)
{
    error.clear();
    const std::array<QString, 6>& names = windowFields();
    std::array<float, 6> w{};
    bool ok = true;
    for (std::size_t i = 0; i < w.size() && ok; ++i)
        ok = store(LeadingNumber(fields.text(names[i])), w[i]);
    Axis x{w[0], w[1]}, y{w[2], w[3]}, z{w[4], w[5]};
    ok = ok && centre(x) && centre(y) && centre(z) && change(code, x, y, z);
    if (!ok) {
        error = QStringLiteral("Overflow");
        return false;
    }
    w = {x.low, x.high, y.low, y.high, z.low, z.high};
    if (setup) {
        setup->Windowlx = w[0];
        setup->Windowgx = w[1];
        setup->Windowly = w[2];
        setup->Windowgy = w[3];
        setup->Windowlz = w[4];
        setup->Windowgz = w[5];
    }
    for (std::size_t i = 0; i < w.size(); ++i)
        fields.setText(names[i], FormatNumber7(w[i]));
    return true;
}
