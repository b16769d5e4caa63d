// The command line as a user runs it, against gnuplot drawing the same mesh with its png
// terminal (the faster of its two PNG terminals): the default equation over 200 x 200 spacings
// of 10 segments (gnuplot: 201 isolines each way of 2001 samples), both views as PNG at 1x
// against one 400 x 300 gnuplot PNG, and at --scale 4 against 1600 x 1200; then start-up and
// exit (tavrigon --eval 1) against bare offscreen GUI and core applications, and the 36-frame
// turntable of the same mesh against its still pair, at 1x and at --scale 4. The runs alternate,
// each set side by side; the medians and their ratios are printed. gnuplot is skipped when absent.
// Peak memory: run a single output under /usr/bin/time -v (printed as a hint).

#include "Median.h"
#include "Timed.h"
#include <QDir>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    // Started by itself: a bare application of the kind named, and nothing else.
    if (argc > 1 && argv[1] == QByteArray("--bare-gui")) {
        QGuiApplication app(argc, argv);
        return 0;
    }
    if (argc > 1 && argv[1] == QByteArray("--bare-core")) {
        QCoreApplication app(argc, argv);
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString tavrigon = QStringLiteral(TAVRIGON_BINARY);
    const QString self = QString::fromLocal8Bit(argv[0]);
    const QString gnuplot = QStandardPaths::findExecutable(QStringLiteral("gnuplot"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QStringList dense = {"--set", "Spacexu=200", "--set", "Spaceyv=200",
                               "--set", "Segsxu=10",   "--set", "Segsyv=10"};
    const QStringList pair = {"--left", dir.filePath("l.png"), "--right", dir.filePath("r.png")};
    auto gnuplotScript = [&](int width, int height) {
        return "set terminal png size " + QByteArray::number(width) + "," +
               QByteArray::number(height) + "\nset output '" + dir.filePath("g.png").toUtf8() +
               "'\nset isosamples 201,201\nset samples 2001,2001\n"
               "splot [-1:1][-1:1] (x-1)*x*(x+1)*(y-1)*y*(y+1)*5 with lines\n";
    };
    std::printf("%-44s %12s %12s %8s\n", "", "ours ms", "theirs ms", "ratio");
    auto row = [&](const char* name, const std::vector<double>& ours,
                   const std::vector<double>& theirs) {
        const double a = median(ours), b = theirs.empty() ? 0 : median(theirs);
        std::printf("%-44s %12.1f %12.1f %8.3f\n", name, a, b, b > 0 ? a / b : 0.0);
    };
    for (const int scale : {1, 4}) {
        std::vector<double> ours, theirs;
        for (int r = 0; r < runs; ++r) {
            ours.push_back(
                timed(tavrigon, dense + pair + QStringList{"--scale", QString::number(scale)}));
            if (!gnuplot.isEmpty())
                theirs.push_back(timed(gnuplot, {}, gnuplotScript(400 * scale, 300 * scale)));
        }
        row(scale == 1 ? "dense pair 1x / gnuplot png 400x300"
                       : "dense pair --scale 4 / gnuplot png 1600x1200",
            ours, theirs);
    }
    std::vector<double> start, gui, core;
    for (int r = 0; r < runs * 4; ++r) {
        start.push_back(timed(tavrigon, {"--eval", "1"}));
        gui.push_back(timed(self, {"--bare-gui"}));
        core.push_back(timed(self, {"--bare-core"}));
    }
    row("start-up and exit / bare offscreen GUI app", start, gui);
    row("start-up and exit / bare core app", start, core);
    for (const int scale : {1, 4}) {
        const QStringList scaled = dense + QStringList{"--scale", QString::number(scale)};
        std::vector<double> turntable, still;
        for (int r = 0; r < runs; ++r) {
            turntable.push_back(
                timed(tavrigon, scaled + QStringList{"--turntable", dir.filePath("t.gif")}));
            still.push_back(timed(tavrigon, scaled + pair));
        }
        row(scale == 1 ? "dense 36-frame turntable / dense pair"
                       : "the same at --scale 4 / dense pair at --scale 4",
            turntable, still);
    }
    std::printf("peak memory: /usr/bin/time -v %s --set Spacexu=200 --set Spaceyv=200 --set "
                "Segsxu=10 --set Segsyv=10 --scale 4 --left l.png --right r.png\n",
                qPrintable(tavrigon));
    return 0;
}
