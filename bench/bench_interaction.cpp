// Plots per second as a drag sees them: the whole Plot command of the program (fields read,
// constants registered, views prepared, guides and surface drawn), repeated for the default
// surface turned about z, and for a 100 x 100 mesh with 4 segments each way.

#include "session/Session.h"
#include "setup/FieldMap.h"
#include "setup/NumberText.h"

#include "QuietHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Plots per second over about `seconds`, the rotation about z changing by a degree each plot.
double plotsPerSecond(FieldMap& fields, Session& session, double seconds)
{
    QElapsedTimer timer;
    timer.start();
    int plots = 0;
    while (timer.elapsed() < seconds * 1000 || plots < 5) {
        fields.setText(QStringLiteral("txtZrot"), FormatNumber15(30 + plots % 360));
        session.plot();
        ++plots;
    }
    return plots * 1000.0 / double(timer.elapsed());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    FieldMap defaults;
    QuietHost host;
    Session drag(defaults, host);
    drag.load(QDir::currentPath());

    FieldMap dense;
    for (const char* name : {"txtSpacexu", "txtSpaceyv"})
        dense.setText(QString::fromLatin1(name), QStringLiteral("100"));
    for (const char* name : {"txtSegsxu", "txtSegsyv"})
        dense.setText(QString::fromLatin1(name), QStringLiteral("4"));
    Session mesh(dense, host);
    mesh.load(QDir::currentPath());

    std::printf("%-8s %28s %30s\n", "round", "default, rotated (plots/s)",
                "100x100x4, rotated (plots/s)");
    std::vector<double> a, b;
    for (int r = 1; r <= rounds; ++r) {
        a.push_back(plotsPerSecond(defaults, drag, 1.0));
        b.push_back(plotsPerSecond(dense, mesh, 1.0));
        std::printf("%-8d %28.1f %30.1f\n", r, a.back(), b.back());
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::printf("%-8s %28.1f %30.1f\n", "median", a[a.size() / 2], b[b.size() / 2]);
    return 0;
}
