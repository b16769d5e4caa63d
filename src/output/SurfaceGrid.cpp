#include "output/SurfaceGrid.h"

#include "eval/ErrorMessages.h"
#include "eval/ScriptError.h"
#include "eval/SurfaceEvaluator.h"
#include "setup/NumberText.h"
#include "setup/PlotSetup.h"

#include <cmath>

namespace {
// The k-th of n steps from low to high, the last one exactly high, so a closed range meets
// its start as closely as the equations allow.
float along(float low, float high, int k, int n)
{
    return k == n ? high : float(low + (double(high) - low) * k / n);
}
} // namespace

float SurfaceGrid::u(int i) const
{
    return along(lowU, highU, i, columns);
}

float SurfaceGrid::v(int j) const
{
    return along(lowV, highV, j, rows);
}

QString SurfaceGrid::where(int k) const
{
    const int i = k % (columns + 1), j = k / (columns + 1);
    return QStringLiteral("%1=%2, %3=%4")
        .arg(parametric ? QLatin1Char('u') : QLatin1Char('x'))
        .arg(FormatNumber7(u(i)))
        .arg(parametric ? QLatin1Char('v') : QLatin1Char('y'))
        .arg(FormatNumber7(v(j)));
}

bool SurfaceGrid::sample(SurfaceEvaluator& evaluator, const PlotSetup& s, SurfaceGrid& grid,
                         QString& error)
{
    const double columns = double(s.Spacexu) * s.Segsxu, rows = double(s.Spaceyv) * s.Segsyv;
    if (columns < 1 || rows < 1) {
        error = QStringLiteral("the mesh has no cell: Spacexu, Spaceyv and their segments must "
                               "be at least 1");
        return false;
    }
    if ((columns + 1) * (rows + 1) > MaxPoints) {
        error = QStringLiteral("the mesh has %1 points, more than the %2 a mesh file can have "
                               "here; lower Spacexu, Spaceyv or their segments")
                    .arg((columns + 1) * (rows + 1), 0, 'f', 0)
                    .arg(MaxPoints, 0, 'f', 0);
        return false;
    }
    grid = SurfaceGrid();
    grid.columns = int(columns);
    grid.rows = int(rows);
    grid.parametric = s.Options.Parametric;
    grid.lowU = s.Rangelxu;
    grid.highU = s.Rangegxu;
    grid.lowV = s.Rangelyv;
    grid.highV = s.Rangegyv;
    const qsizetype count = qsizetype(grid.columns + 1) * (grid.rows + 1);
    grid.points.resize(count);
    grid.defined.resize(count);
    evaluator.prepare(
        {s.EquationZ, s.EquationX, s.EquationY, s.DerivSelector, s.Options.HighAccuracy});
    float x = 0, y = 0; // x(u,v) and y(u,v) see the previous point's, as in the mesh
    for (int j = 0; j <= grid.rows; ++j) {
        for (int i = 0; i <= grid.columns; ++i) {
            const int k = grid.index(i, j);
            float z = 0;
            qint32 failed = 0;
            auto take = [&](SurfaceValue r, float& to) {
                if (r.error != 0 && !failed) failed = r.error;
                if (r.error == 0) to = r.value;
            };
            if (grid.parametric) {
                evaluator.setParameters(grid.u(i), grid.v(j));
                take(evaluator.EvalParamX(x, y), x);
                take(evaluator.EvalParamY(x, y), y);
            } else {
                x = grid.u(i);
                y = grid.v(j);
            }
            take(evaluator.EvalSurface(x, y), z);
            if (failed && !ErrorNumbers::isPointFailure(failed)) {
                error = QStringLiteral("the surface fails at %1: error %2: %3")
                            .arg(grid.where(k))
                            .arg(failed)
                            .arg(ErrorMessages::text(failed));
                return false;
            }
            grid.points[k] = {x, y, z};
            grid.defined[k] = !failed && std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
        }
    }
    return true;
}
