// The stereo viewer following a drag on a 3840 x 2160 screen (views of 1920 x 1440) with the
// dense mesh: 200 x 200 spacings, 10 segments each way. A step is what a pixel of the pointer
// costs until the viewer shows the turned picture: the rotation about z written to its field,
// the window's Plot (400 x 300 views) and the viewer's drawing of the same plot. Per round, the
// median step during a drag (the button held), the drawing that follows the release (none when
// the drag's pictures were full ones), the median step without a drag (always the full
// drawing), and a step that changes the surface (every value evaluated again). In ms.
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
#include <QMouseEvent>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Waits until the viewer has ended a drawing after `before` of them, or until `idleMs` pass
// without one starting. The milliseconds waited.
double awaitDrawing(StereoViewer& viewer, int before, int idleMs = 1000000)
{
    QElapsedTimer t;
    t.start();
    while (viewer.drawings() == before || viewer.isDrawing()) {
        if (!viewer.isDrawing() && t.elapsed() > idleMs) return 0;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return double(t.nsecsElapsed()) / 1e6;
}

struct Step
{
    double plot = 0;   // the window's Plot
    double viewer = 0; // the viewer's drawing after it
};

Step step(Session& session, StereoViewer& viewer)
{
    QElapsedTimer t;
    t.start();
    session.plot();
    Step s;
    s.plot = double(t.nsecsElapsed()) / 1e6;
    const int before = viewer.drawings();
    viewer.plotEnded();
    s.viewer = awaitDrawing(viewer, before);
    return s;
}

void mouse(StereoViewer& viewer, QEvent::Type type)
{
    const QPointF at(100, 100);
    QMouseEvent event(type, at, viewer.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&viewer, &event);
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

    std::printf("%-7s %26s %10s %12s %12s\n", "", "during a drag", "release", "no drag",
                "new surface");
    std::printf("%-7s %8s %8s %8s %10s %12s %12s\n", "round", "plot", "viewer", "total", "full",
                "total", "total");
    std::vector<double> plots, draws, totals, releases, fulls, fresh;
    int angle = 30;
    auto turn = [&] { fields.setText(QStringLiteral("txtZrot"), FormatNumber15(++angle % 360)); };
    for (int r = 1; r <= rounds; ++r) {
        std::vector<double> p, d, t, f;
        mouse(viewer, QEvent::MouseButtonPress);
        for (int i = 0; i < steps; ++i) {
            turn();
            const Step s = step(session, viewer);
            p.push_back(s.plot);
            d.push_back(s.viewer);
            t.push_back(s.plot + s.viewer);
        }
        const int before = viewer.drawings();
        mouse(viewer, QEvent::MouseButtonRelease);
        releases.push_back(awaitDrawing(viewer, before, 100));
        for (int i = 0; i < steps; ++i) {
            turn();
            const Step s = step(session, viewer);
            f.push_back(s.plot + s.viewer);
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
        fulls.push_back(median(f));
        fresh.push_back(s.plot + s.viewer);
        std::printf("%-7d %8.1f %8.1f %8.1f %10.1f %12.1f %12.1f\n", r, plots.back(), draws.back(),
                    totals.back(), releases.back(), fulls.back(), fresh.back());
    }
    std::printf("%-7s %8.1f %8.1f %8.1f %10.1f %12.1f %12.1f\n", "median", median(plots),
                median(draws), median(totals), median(releases), median(fulls), median(fresh));
    return viewer.frame().size() == QSize(3840, 2160) ? 0 : 1;
}
