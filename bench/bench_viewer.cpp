// The stereo viewer following a drag on a 3840 x 2160 screen (views of 1920 x 1440) with the
// dense mesh: 200 x 200 spacings, 10 segments each way. One step is what a pixel of the drag
// costs until the picture is whole again: the rotation about z written to its field, the
// window's Plot (400 x 300 views) and the viewer's full drawing of the same plot. Prints the
// time of both parts per step and, for comparison in the same run, a step that changes the
// surface (its values must be evaluated again).
//
//     bench_viewer [rounds] [steps per round]

#include "session/Session.h"
#include "setup/FieldMap.h"
#include "setup/NumberText.h"
#include "ui/StereoViewer.h"

#include "Median.h"
#include "QuietHost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Step
{
    double plot = 0;   // the window's Plot, ms
    double viewer = 0; // the viewer's drawing after it, ms
};

// Runs the window's Plot, then lets the viewer draw it whole.
Step step(Session& session, StereoViewer& viewer)
{
    QElapsedTimer t;
    t.start();
    session.plot();
    Step s;
    s.plot = double(t.nsecsElapsed()) / 1e6;
    const int before = viewer.drawings();
    viewer.plotEnded();
    while (viewer.drawings() == before || viewer.isDrawing())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    s.viewer = double(t.nsecsElapsed()) / 1e6 - s.plot;
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int steps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    FieldMap fields;
    for (const char* name : {"txtSpacexu", "txtSpaceyv"})
        fields.setText(QString::fromLatin1(name), QStringLiteral("200"));
    for (const char* name : {"txtSegsxu", "txtSegsyv"})
        fields.setText(QString::fromLatin1(name), QStringLiteral("10"));
    QuietHost host;
    Session session(fields, host);
    session.load(QDir::currentPath());
    session.plot();

    StereoViewer viewer(
        session, [] { return true; }, nullptr);
    viewer.open();
    // Once shown full screen, the viewer takes the size of the screen wanted.
    auto drawn = [&](int width) {
        while (viewer.isDrawing() || viewer.frame().width() != width)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    drawn(viewer.screen()->geometry().width());
    viewer.setGeometry(0, 0, 3840, 2160);
    drawn(3840);

    std::printf("%-8s %12s %12s %12s   %12s %12s\n", "round", "turn: plot", "viewer", "total",
                "new surface", "(ms)");
    std::vector<double> plots, draws, totals, fresh;
    int angle = 30;
    for (int r = 1; r <= rounds; ++r) {
        std::vector<double> p, d, t;
        for (int i = 0; i < steps; ++i) {
            fields.setText(QStringLiteral("txtZrot"), FormatNumber15(++angle % 360));
            const Step s = step(session, viewer);
            p.push_back(s.plot);
            d.push_back(s.viewer);
            t.push_back(s.plot + s.viewer);
        }
        // The same turn with another surface: every value evaluated.
        fields.setText(QStringLiteral("txtEquationZ"),
                       QStringLiteral("x * y * %1 / 10").arg(r % 2 ? 3 : 4));
        const Step s = step(session, viewer);
        fields.setText(QStringLiteral("txtEquationZ"),
                       FieldMap().text(QStringLiteral("txtEquationZ")));
        step(session, viewer);
        plots.push_back(median(p));
        draws.push_back(median(d));
        totals.push_back(median(t));
        fresh.push_back(s.plot + s.viewer);
        std::printf("%-8d %12.1f %12.1f %12.1f   %12.1f\n", r, plots.back(), draws.back(),
                    totals.back(), fresh.back());
    }
    std::printf("%-8s %12.1f %12.1f %12.1f   %12.1f\n", "median", median(plots), median(draws),
                median(totals), median(fresh));
    return viewer.frame().size() == QSize(3840, 2160) ? 0 : 1;
}
