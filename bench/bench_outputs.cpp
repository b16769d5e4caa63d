// The command line's large outputs against gnuplot drawing the same mesh: the default equation
// over 200 x 200 spacings of 10 segments (gnuplot: 201 isolines each way of 2001 samples), both
// views at --scale 4 (1600 x 1200 each) as PNG, against one 1600 x 1200 gnuplot PNG; and the
// same at 100 x 100 spacings, to see the cost grow with the points. The runs alternate, each
// pair side by side; the medians and their ratio are printed. gnuplot is skipped when absent.
// Then the 36-frame turntable of the 200 x 200 mesh at --scale 4 against the still pair of the
// same plot, alternating: the turntable draws the captured plot turned, frame by frame.
// Peak memory: run a single output under /usr/bin/time -v (printed as a hint).

#include "Median.h"
#include "Timed.h"
#include <QDir>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const QString tavrigon = QStringLiteral(TAVRIGON_BINARY);
    const QString gnuplot = QStandardPaths::findExecutable(QStringLiteral("gnuplot"));
    QTemporaryDir dir;
    std::printf("%8s %6s %14s %14s %8s\n", "spacings", "scale", "tavrigon ms", "gnuplot ms",
                "ratio");
    for (const int spacings : {100, 200}) {
        const QString n = QString::number(spacings);
        const QStringList args = {"--set",   "Spacexu=" + n,
                                  "--set",   "Spaceyv=" + n,
                                  "--set",   "Segsxu=10",
                                  "--set",   "Segsyv=10",
                                  "--set",   "Dots=0",
                                  "--scale", "4",
                                  "--left",  dir.filePath("l.png"),
                                  "--right", dir.filePath("r.png")};
        const QByteArray script =
            "set terminal pngcairo size 1600,1200\nset output '" + dir.filePath("g.png").toUtf8() +
            "'\nset isosamples " + QByteArray::number(spacings + 1) + "," +
            QByteArray::number(spacings + 1) + "\nset samples " +
            QByteArray::number(spacings * 10 + 1) + "," + QByteArray::number(spacings * 10 + 1) +
            "\nsplot [-1:1][-1:1] (x-1)*x*(x+1)*(y-1)*y*(y+1)*5 with lines\n";
        std::vector<double> ours, theirs;
        for (int r = 0; r < runs; ++r) {
            ours.push_back(timed(tavrigon, args));
            if (!gnuplot.isEmpty()) theirs.push_back(timed(gnuplot, {}, script));
        }
        const double a = median(ours);
        const double b = theirs.empty() ? 0 : median(theirs);
        std::printf("%8d %6d %14.0f %14.0f %8.3f\n", spacings, 4, a, b, b > 0 ? a / b : 0.0);
    }
    const QStringList mesh = {"--set",     "Spacexu=200", "--set",     "Spaceyv=200", "--set",
                              "Segsxu=10", "--set",       "Segsyv=10", "--scale",     "4"};
    std::vector<double> still, turntable;
    for (int r = 0; r < runs; ++r) {
        still.push_back(timed(tavrigon, mesh + QStringList{"--pair", dir.filePath("p.png")}));
        turntable.push_back(
            timed(tavrigon, mesh + QStringList{"--turntable", dir.filePath("t.gif")}));
    }
    std::printf("%14s %14s %8s\n%14.0f %14.0f %8.2f\n", "still pair ms", "turntable ms", "ratio",
                median(still), median(turntable), median(turntable) / median(still));
    std::printf("peak memory: /usr/bin/time -v %s --set Spacexu=200 --set Spaceyv=200 --set "
                "Segsxu=10 --set Segsyv=10 --set Dots=0 --scale 4 --left l.png --right r.png\n",
                qPrintable(tavrigon));
    return 0;
}
