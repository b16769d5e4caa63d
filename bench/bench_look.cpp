// What the surface's look costs: the dense pair (the default equation over 200 x 200 spacings
// of 10 segments, both views at --scale 4, 1600 x 1200 each) written by the command line
// plain, with hidden lines and solid, the runs taken in turn so that each triple shares the
// machine's load; the medians and their ratios to the plain run are printed.

#include "Median.h"
#include "Timed.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString tavrigon = QStringLiteral(TAVRIGON_BINARY);
    QTemporaryDir dir;
    const QStringList dense = {
        "--set",  "Spacexu=200",        "--set", "Spaceyv=200", "--set",   "Segsxu=10",
        "--set",  "Segsyv=10",          "--set", "Dots=0",      "--scale", "4",
        "--pair", dir.filePath("p.png")};
    const QList<QStringList> looks = {
        {}, {"--hidden"}, {"--solid"}, {"--solid", "--colour", "height"}};
    std::vector<std::vector<double>> times(std::size_t(looks.size()));
    for (int r = 0; r < runs; ++r)
        for (qsizetype k = 0; k < looks.size(); ++k)
            times[std::size_t(k)].push_back(timed(tavrigon, dense + looks[k]));
    const double plain = median(times[0]);
    std::printf("%-26s %10s %8s\n", "look", "median ms", "ratio");
    for (qsizetype k = 0; k < looks.size(); ++k) {
        const double ms = median(times[std::size_t(k)]);
        std::printf("%-26s %10.0f %8.3f\n",
                    looks[k].isEmpty() ? "plain" : qPrintable(looks[k].join(' ')), ms, ms / plain);
    }
    return 0;
}
