// Nanoseconds per evaluation of two surface expressions: our engine (evalNumber on the
// compiled text), muparser and a plain C++ lambda, measured side by side in one run with x and
// y changing at every evaluation. Each round measures every contender once; the figures are
// the median and the spread over the rounds.

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"

#ifdef TAVRIGON_HAVE_MUPARSER
#include <muParser.h>
#endif

#include <QString>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 1024;
constexpr int kEvaluations = 2000000;
constexpr int kRounds = 7;

struct Inputs
{
    double xs[kPoints];
    double ys[kPoints];
    Inputs()
    {
        for (int i = 0; i < kPoints; ++i) {
            xs[i] = -2.5 + 5.0 * i / kPoints;
            ys[i] = 2.5 - 5.0 * ((i * 37) % kPoints) / kPoints;
        }
    }
};

// Runs body kEvaluations times with x and y set from the inputs; ns per evaluation.
template <typename Body>
double measure(const Inputs& in, double& x, double& y, Body body, double& checksum)
{
    double sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kEvaluations; ++i) {
        x = in.xs[i & (kPoints - 1)];
        y = in.ys[i & (kPoints - 1)];
        sum += body();
    }
    const auto stop = std::chrono::steady_clock::now();
    checksum += sum;
    return std::chrono::duration<double, std::nano>(stop - start).count() / kEvaluations;
}

struct Series
{
    const char* name;
    std::vector<double> ns;

    double median() const
    {
        std::vector<double> v = ns;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

void report(const char* expression, std::vector<Series>& series)
{
    std::printf("%s\n", expression);
    const double base = series.front().median();
    for (const Series& s : series) {
        const auto [lo, hi] = std::minmax_element(s.ns.begin(), s.ns.end());
        std::printf("  %-10s median %7.2f ns  (min %7.2f, max %7.2f)  ratio to engine %.2f\n",
                    s.name, s.median(), *lo, *hi, s.median() / base);
    }
}

void run(const char* ours, const char* theirs, double (*native)(double, double))
{
    static Inputs in;
    Class1 sh;
    ScriptEngine engine;
    engine.addObject(QStringLiteral("sh"), &sh, true);
    engine.executeStatement(QStringLiteral("halfpi = Atn(1) * 2"));
    const CompiledExpression* program = engine.compile(QString::fromLatin1(ours));

    double mx = 0;
    double my = 0;
#ifdef TAVRIGON_HAVE_MUPARSER
    mu::Parser parser;
    parser.DefineVar("x", &mx);
    parser.DefineVar("y", &my);
    parser.SetExpr(theirs);
    parser.Eval();
#else
    (void)theirs;
#endif
    double lx = 0;
    double ly = 0;

    std::vector<Series> series = {{"engine", {}}, {"muparser", {}}, {"lambda", {}}};
    double checksum[3] = {0, 0, 0};
    for (int round = 0; round < kRounds; ++round) {
        series[0].ns.push_back(measure(
            in, sh.x, sh.y,
            [&] {
                double r = 0;
                engine.evalNumber(program, r);
                return r;
            },
            checksum[0]));
#ifdef TAVRIGON_HAVE_MUPARSER
        series[1].ns.push_back(measure(
            in, mx, my, [&] { return parser.Eval(); }, checksum[1]));
#else
        series[1].ns.push_back(0);
#endif
        series[2].ns.push_back(measure(
            in, lx, ly, [&] { return native(lx, ly); }, checksum[2]));
    }
    report(ours, series);
    std::printf("  checksums %.17g %.17g %.17g\n", checksum[0], checksum[1], checksum[2]);
}

double polynomial(double x, double y)
{
    return (x - 1) * x * (x + 1) * (y - 1) * y * (y + 1) * 5;
}

double trigonometric(double x, double y)
{
    return std::sin(x) * std::cos(y) + std::sqrt(x * x + y * y + 1);
}

} // namespace

int main()
{
#ifndef TAVRIGON_HAVE_MUPARSER
    std::printf("muparser not found: its column is 0\n");
#endif
    run("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5", "(x-1)*x*(x+1)*(y-1)*y*(y+1)*5", polynomial);
    run("Sin(x)*Cos(y)+Sqr(x*x+y*y+1)", "sin(x)*cos(y)+sqrt(x*x+y*y+1)", trigonometric);
    return 0;
}
