#include "output/StereoImages.h"
#include "session/Session.h"
#include "ui/ImageOptionsDialog.h"
#include "ui/PlotProgress.h"
#include "ui/StereoViewer.h"
#include "ui/ViewWidget.h"
#include "ui/frmVantro.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

namespace {
using Moves = QList<QPoint>; // from the press position

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}
} // namespace

// The fields' focus behaviour and the mouse on the views, driven as a user would: keys to the
// focused widget, clicks and drags through the window system.
class TestInput : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        messages_.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        window_ = std::make_unique<frmVantro>();
        window_->setMessageSink([this](const QString& text, const QString&) { messages_ << text; });
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        plot();
    }
    void cleanup()
    {
        window_.reset();
        dir_.reset();
    }

    // A refused field keeps the focus (an engine error with its message, a point failure
    // without), and holds back clicks, Alt+P, drags and the wheel, but not the menus.
    void refusedFieldHoldsBackAllButMenus()
    {
        for (const auto& [name, text, mayLeave, messages] :
             {std::tuple{"txtSpacexu", "2.5", false, 0},
              {"txtSegsyv", "7abc", true, 0},
              {"txtDivy", "(1", false, 2},
              {"txtDivx", "1/0", false, 0},
              {"txtNdots", "0", false, 0}}) {
            messages_.clear();
            QWidget* f = focus(name);
            window_->setText(QLatin1String(name), QLatin1String(text));
            QTest::keyClick(f, Qt::Key_Tab);
            if (!mayLeave) QTest::keyClick(f, Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget() == f, !mayLeave);
            QCOMPARE(int(messages_.size()), messages);
            if (name != QLatin1String("txtNdots")) window_->setText(QLatin1String(name), "1");
        }
        const QImage before = viewImage(1);
        click(control("cmdIncWindX"));
        QTest::keyClick(control("txtNdots"), Qt::Key_P, Qt::AltModifier);
        drag(0, {{30, 0}});
        wheel(1, 120);
        QTest::qWait(50);
        QCOMPARE(text("txtWindowlx") + text("txtZrot"), QStringLiteral("-2.50"));
        QCOMPARE(viewImage(1), before);
        const QString path = dir_->filePath(QStringLiteral("held.txt"));
        window_->setFileChooser([&](bool, const QString&) { return path; });
        window_->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        QVERIFY(QFile::exists(path));
        // Mended, a drag turns and the focus stays.
        window_->setText(QStringLiteral("txtNdots"), QStringLiteral("100"));
        drag(0, {{30, 0}});
        QCOMPARE(text("txtZrot"), QStringLiteral("30"));
        QCOMPARE(QApplication::focusWidget(), control("txtNdots"));
    }

    // A pair out of order sends the focus to the partner; the field clicked, left at once, is
    // drawn without a selection.
    void limitPairSendsFocusToPartner()
    {
        for (const auto& [from, partner, fromText, partnerText, toPartner] :
             {std::tuple{"txtWindowlx", "txtWindowgx", "3", "2.5", true},
              {"txtWindowgy", "txtWindowly", "3", "pi", true},
              {"txtRangelxu", "txtRangegxu", "2", "2", false}}) {
            const QString oldFrom = text(from), oldPartner = text(partner);
            window_->setText(QLatin1String(from), QLatin1String(fromText));
            window_->setText(QLatin1String(partner), QLatin1String(partnerText));
            focus(from);
            auto* elsewhere = qobject_cast<QLineEdit*>(control("txtXrot"));
            click(elsewhere);
            auto* expected = toPartner ? qobject_cast<QLineEdit*>(control(partner)) : elsewhere;
            QTRY_COMPARE(QApplication::focusWidget(), expected);
            QTest::qWait(20);
            QCOMPARE(QApplication::focusWidget(), expected);
            QCOMPARE(expected->selectedText(), expected->text());
            QVERIFY(expected == elsewhere || !elsewhere->hasSelectedText());
            window_->setText(QLatin1String(from), oldFrom);
            window_->setText(QLatin1String(partner), oldPartner);
        }
        QCOMPARE(messages_, QStringList());
    }

    void derivativeSumSendsFocusToPartner()
    {
        window_->setText(QStringLiteral("txtXder"), QStringLiteral("2"));
        window_->setText(QStringLiteral("txtYder"), QStringLiteral("1"));
        QTest::keyClick(focus(QStringLiteral("txtYder")), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), control("txtXder"));
        click(control("txtNdots"));
        QTRY_COMPARE(QApplication::focusWidget(), control("txtYder"));
    }

    void dragTurnsTheSurface()
    {
        drag(1, {{10, 0}, {20, 0}, {30, 0}});
        QCOMPARE(text("txtZrot"), QStringLiteral("30"));
        drag(0, {{-7, -3}, {-15, -5}});
        QCOMPARE(text("txtZrot") + text("txtYrot"), QStringLiteral("15-5"));
        QVERIFY(messages_.isEmpty());
        expectReplotted();
        // A Plot that fails with a message during a drag: the drag ends there, one message only.
        window_->setText(QStringLiteral("txtEquationZ"), QStringLiteral("x +"));
        drag(0, {{5, 0}, {10, 0}, {15, 0}});
        QCOMPARE(text("txtZrot"), QStringLiteral("20"));
        QCOMPARE(messages_.size(), 1);
    }

    // The first move's plot is long; the moves that arrive during it write their turn at once
    // and supersede it, and the last position is the one drawn.
    void movesDuringAPlotAreNotLost()
    {
        makeLong();
        const QPoint start = inView(0);
        QWindow* handle = window_->windowHandle();
        bool duringPlot = false;
        QObject scope;
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTimer::singleShot(50, &scope, [&] {
            duringPlot = window_->session().isPlotting();
            QTest::mouseMove(handle, start + QPoint(12, 0));
            QTest::mouseMove(handle, start + QPoint(20, 4));
        });
        QTest::mouseMove(handle, start + QPoint(5, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(20, 4));
        QVERIFY(duringPlot);
        QCOMPARE(text("txtZrot") + text("txtYrot"), QStringLiteral("204"));
        expectReplotted();
    }

    void wheelZoomsByNotches()
    {
        for (const auto& [angles, windowlx] : {std::pair{QList<int>{120}, "-1.25"},
                                               {QList<int>{30, 30, 30, 30}, "-0.625"},
                                               {QList<int>{90, -30, 90}, "-0.625"},
                                               {QList<int>{-120}, "-1.25"}}) {
            for (int angle : angles)
                wheel(0, angle);
            QCOMPARE(text("txtWindowlx"), QLatin1String(windowlx));
        }
        expectReplotted();
    }

    void escapeStopsALongPlotAndProgressShows()
    {
        const QImage left = viewImage(0), right = viewImage(1);
        PlotProgress* bar = window_->plotProgress();
        QWidget* focused = focus(QStringLiteral("cboConstants"));
        makeLong(1000);
        QElapsedTimer sinceKey;
        bool early = true, late = false;
        QObject scope;
        QTimer::singleShot(200, &scope, [&] { early = bar->isVisible(); });
        QTimer::singleShot(700, &scope, [&] { late = bar->isVisible() && bar->fraction() > 0; });
        QTimer::singleShot(900, &scope, [&] {
            sinceKey.start();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        plot();
        const qint64 stopped = sinceKey.isValid() ? sinceKey.elapsed() : -1;
        QVERIFY2(stopped >= 0 && stopped < 100, qPrintable(QString::number(stopped)));
        QVERIFY(!early && late);
        QCOMPARE(bar->geometry(),
                 QRect(0, 300 - PlotProgress::Thickness, 400, PlotProgress::Thickness));
        QVERIFY(bar->isHidden() && !QApplication::overrideCursor());
        QCOMPARE(QApplication::focusWidget(), focused);
        // The next Plot runs whole at once, without the bar.
        makeLong(10, 2);
        plot();
        QVERIFY(bar->isHidden());
        QCOMPARE(viewImage(0), left);
        QCOMPARE(viewImage(1), right);
    }

    // F11 opens the viewer and M cycles its modes. A drag in it turns the surface, and the
    // viewer and the window show the plot of the fields; Esc stops a long drawing, then closes.
    void stereoViewer()
    {
        QTest::keyClick(window_.get(), Qt::Key_F11);
        StereoViewer* viewer = window_->stereoViewer();
        QVERIFY(viewer && QTest::qWaitForWindowExposed(viewer));
        QTRY_COMPARE(viewer->drawings(), 1);
        QStringList shown{viewer->shownMode()};
        for (int i = 0; i < StereoLayout::ModeCount; ++i) {
            QTest::keyClick(viewer, Qt::Key_M);
            shown << viewer->shownMode();
        }
        QCOMPARE(shown, (QStringList{"Cross-eyed pair", "Parallel pair", "Half side-by-side",
                                     "Red/cyan anaglyph", "Autostereogram", "Cross-eyed pair"}));
        // The autostereogram: the background repeats every tenth of the screen's 800 pixels.
        QTest::keyClick(viewer, Qt::Key_5);
        QTRY_COMPARE(viewer->drawings(), 2);
        QCOMPARE(viewer->frame().pixel(0, 599), viewer->frame().pixel(80, 599));
        QTest::keyClick(viewer, Qt::Key_3); // half side-by-side: views of another size
        QTRY_COMPARE(viewer->drawings(), 3);
        const QImage frame = viewer->frame(), left = viewImage(0);
        QWindow* handle = viewer->windowHandle();
        const QPoint start = viewer->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + QPoint(25, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(25, 0));
        QCOMPARE(text("txtZrot"), QStringLiteral("25"));
        QTRY_COMPARE(viewer->drawings(), 4);
        const QImage turned = viewer->frame();
        QVERIFY(turned != frame && viewImage(0) != left);
        expectReplotted();
        QTRY_COMPARE(viewer->drawings(), 5);
        QCOMPARE(viewer->frame(), turned);
        QTRY_VERIFY_WITH_TIMEOUT(viewer->shownMode().isEmpty(), 3000);
        // H, S, C, O and L change the look, each drawn anew and named; undone, it is as before.
        int drawn = viewer->drawings();
        const std::pair<Qt::Key, QString> looks[] = {{Qt::Key_H, "hidden lines"},
                                                     {Qt::Key_S, "solid"},
                                                     {Qt::Key_C, "colour by height"},
                                                     {Qt::Key_O, "orthographic"},
                                                     {Qt::Key_L, "labels"}};
        for (const auto& [key, name] : looks) {
            QTest::keyClick(viewer, key);
            QVERIFY2(viewer->shownMode().endsWith(name), qPrintable(viewer->shownMode()));
            ++drawn;
            QTRY_COMPARE(viewer->drawings(), drawn);
        }
        QVERIFY(viewer->look().Solid && viewer->labels() && viewer->frame() != turned);
        for (const Qt::Key key : {Qt::Key_H, Qt::Key_S, Qt::Key_C, Qt::Key_C, Qt::Key_O, Qt::Key_L})
            QTest::keyClick(viewer, key);
        QCOMPARE(viewer->shownMode(), QStringLiteral("Half side-by-side"));
        QTRY_VERIFY(viewer->drawings() > drawn && !viewer->isDrawing());
        QCOMPARE(viewer->frame(), turned);
        drawn = viewer->drawings();

        makeLong(1000);
        QElapsedTimer sinceKey;
        bool drawing = false;
        QObject scope;
        QTimer::singleShot(100, &scope, [&] { QTest::keyClick(viewer, Qt::Key_Escape); });
        plot(); // stopped by the Esc; then the viewer draws it
        // A mode of another size starts the drawing afresh; Esc stops that one.
        QTimer::singleShot(300, &scope, [&] {
            drawing = viewer->isDrawing();
            QTest::keyClick(viewer, Qt::Key_1);
        });
        QTimer::singleShot(600, &scope, [&] {
            drawing = drawing && viewer->isDrawing();
            sinceKey.start();
            QTest::keyClick(viewer, Qt::Key_Escape);
        });
        QTRY_VERIFY(sinceKey.isValid() && !viewer->isDrawing());
        QVERIFY2(drawing && sinceKey.elapsed() < 100,
                 qPrintable(QString::number(sinceKey.elapsed())));
        QVERIFY(viewer->isVisible() && viewer->drawings() == drawn);
        QCOMPARE(viewer->mode(), StereoLayout::Mode::CrossEyed);
        QTest::keyClick(viewer, Qt::Key_Escape);
        QVERIFY(!viewer->isVisible());
        // A double-click on a view opens it, one on the viewer closes it.
        QTest::mouseDClick(window_->view(0), Qt::LeftButton, {}, QPoint(200, 150));
        QVERIFY(viewer->isVisible());
        QTest::mouseDClick(viewer, Qt::LeftButton, {}, viewer->rect().center());
        QVERIFY(!viewer->isVisible());
    }

    // On a 3840 x 2160 screen each view of the pair is 1920 x 1440, 4.8 times the window's:
    // mesh lines are 5 pixels wide, as with --scale 4.8; + and - make them bolder and thinner.
    // K chooses a user constant, ] and [ step it by a tenth of its value (0.1 from 0) where it
    // stands in the window's list, and the window and the viewer plot it.
    void viewerStepsConstants()
    {
        window_->setText(QStringLiteral("txtEquationZ"), QStringLiteral("a*x*x + b*y"));
        QTest::keyClick(window_.get(), Qt::Key_F11);
        StereoViewer* viewer = window_->stereoViewer();
        QVERIFY(viewer && QTest::qWaitForWindowExposed(viewer));
        QTest::keyClick(viewer, Qt::Key_K);
        QVERIFY(viewer->shownMode().endsWith(QLatin1String("no user constants")));
        for (const char* c : {"a=2", "b=0", "c=\"abc\""}) {
            window_->setText(QStringLiteral("cboConstants"), QLatin1String(c));
            window_->session().press(QStringLiteral("cmdAddCons"));
        }
        plot();
        QTRY_VERIFY(viewer->drawings() >= 1 && !viewer->isDrawing());
        QImage right = viewImage(1), frame = viewer->frame();
        for (const auto& [key, shown, list] :
             {std::tuple{Qt::Key_BracketRight, "a = 2.2", "a=2.2 b=0 c=\"abc\""},
              {Qt::Key_K, "b = 0", "a=2.2 b=0 c=\"abc\""},
              {Qt::Key_BracketLeft, "b = -0.1", "a=2.2 b=-0.1 c=\"abc\""},
              {Qt::Key_K, "c is no number", ""},
              {Qt::Key_BracketRight, "c is no number", ""}}) {
            const int drawn = viewer->drawings();
            QTest::keyClick(viewer, key);
            QVERIFY2(viewer->shownMode().endsWith(QLatin1String(shown)),
                     qPrintable(viewer->shownMode()));
            if (*list) QCOMPARE(window_->session().constantList().join(' '), QLatin1String(list));
            if (!*list || key == Qt::Key_K) continue;
            QTRY_VERIFY(viewer->drawings() > drawn && !viewer->isDrawing());
            QVERIFY(viewImage(1) != right && viewer->frame() != frame);
            right = viewImage(1);
            frame = viewer->frame();
        }
        QTest::keyClick(viewer, Qt::Key_Escape);
    }

    void viewerDrawsForItsScreen()
    {
        QTest::keyClick(window_.get(), Qt::Key_F11);
        StereoViewer* viewer = window_->stereoViewer();
        QVERIFY(viewer && QTest::qWaitForWindowExposed(viewer));
        const int drawn = viewer->drawings();
        viewer->setGeometry(0, 0, 3840, 2160);
        QTRY_COMPARE(viewer->drawings(), drawn + 1);
        QCOMPARE(viewer->frame().size(), QSize(3840, 2160));
        QCOMPARE(thinnestRun(viewer->frame()), 5);
        const QList<std::pair<Qt::Key, int>> steps = {
            {Qt::Key_Plus, 7}, {Qt::Key_Minus, 5}, {Qt::Key_Minus, 4}};
        for (const auto& [key, width] : steps) {
            const int before = viewer->drawings();
            QTest::keyClick(viewer, key);
            QTRY_COMPARE(viewer->drawings(), before + 1);
            const int run = thinnestRun(viewer->frame());
            QVERIFY2(run >= width && run <= width + 1, qPrintable(QString::number(run)));
        }
        QCOMPARE(viewer->shownMode(), QString::fromUtf8("Cross-eyed pair, lines \u00D70.75"));
        QTest::keyClick(viewer, Qt::Key_Escape);
    }

    // The type chosen decides the image and, when the name has none, the extension.
    void saveImageAndCopyAnaglyph()
    {
        window_->setText(QStringLiteral("txtZrot"), QStringLiteral("30")); // the views differ
        plot();
        const QImage left = viewImage(0), right = viewImage(1);
        const QImage anaglyph = rgb(StereoImages::anaglyph(left, right));
        for (const auto& [filter, name, written, expected] :
             {std::tuple{"Right view (*.bmp)", "b", "b.bmp", right},
              {"Stereo pair, cross-eyed (*.png)", "p.png", "p.png",
               rgb(StereoImages::pair(left, right))},
              {"Stereo pair, parallel (*.bmp)", "q", "q.bmp",
               rgb(StereoImages::parallelPair(left, right))},
              {"Anaglyph (*.png)", "c", "c.png", anaglyph},
              {"Left view (*.png)", "no such folder/a.png", "", QImage()}}) {
            window_->setImageChooser([&, filter = filter, name = name](const QStringList& filters,
                                                                       QString& chosen,
                                                                       const QString&) {
                chosen = filters.contains(QLatin1String(filter)) ? filter : "";
                return dir_->filePath(QLatin1String(name));
            });
            window_->saveImage();
            if (!*written) break;
            QImageReader reader(dir_->filePath(QLatin1String(written)));
            QCOMPARE(reader.format(), QByteArray(written).right(3));
            QCOMPARE(rgb(reader.read()), expected);
        }
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("does not exist")), qPrintable(messages_[0]));
        window_->findChild<QAction*>(QStringLiteral("mnuCopyAnaglyph"))->trigger();
        QCOMPARE(rgb(QApplication::clipboard()->image()), anaglyph);
    }

    // The file is drawn anew at the size asked for, as SVG too, with labels and the solid
    // surface when asked.
    void saveImageScaledAndAsSvg()
    {
        plot();
        for (const auto& [filter, name] :
             {std::pair{"Left view (*.png)", "big"}, {"Stereo pair, parallel (*.svg)", "s"}}) {
            window_->setImageChooser(
                [&, filter = filter, name = name](const QStringList&, QString& chosen,
                                                  const QString&) {
                    chosen = QLatin1String(filter);
                    return dir_->filePath(QLatin1String(name));
                },
                [](ImageExport::Options& options) {
                    options = {2, true, {false, true, SurfaceLook::Colour::Height, false}};
                    return true;
                });
            window_->saveImage();
        }
        QCOMPARE(QImage(dir_->filePath(QStringLiteral("big.png"))).size(), QSize(800, 600));
        QFile svg(dir_->filePath(QStringLiteral("s.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray bytes = svg.readAll();
        QVERIFY(bytes.contains("viewBox=\"0 0 800 300\"") && bytes.contains(">x</text>") &&
                bytes.contains("<polygon"));
        ImageOptionsDialog dialog;
        dialog.labelsBox()->setChecked(true);
        for (const auto& [typed, scale] : {std::pair{"3 x", 3.0}, {"2.5", 2.5}, {"17", 0.0}}) {
            dialog.sizeBox()->setEditText(QLatin1String(typed));
            QCOMPARE(dialog.options().scale, scale);
            QVERIFY(dialog.options().labels);
        }
        QCOMPARE(dialog.options().look, SurfaceLook());
        dialog.hiddenBox()->setChecked(true);
        dialog.solidBox()->setChecked(true);
        dialog.colourBox()->setCurrentIndex(2);
        dialog.projectionBox()->setCurrentIndex(1);
        const SurfaceLook look = dialog.options().look;
        QVERIFY(look.Hidden && look.Solid && look.Orthographic);
        QCOMPARE(look.Colouring, SurfaceLook::Colour::Depth);
    }

private:
    QWidget* control(const char* name) { return window_->control(QLatin1String(name)); }
    QString text(const char* name) { return window_->text(QLatin1String(name)); }
    QWidget* focus(const QString& name)
    {
        QWidget* w = window_->control(name);
        w->setFocus(Qt::OtherFocusReason);
        [&] { QTRY_COMPARE(QApplication::focusWidget(), w); }();
        return w;
    }
    // A click at the centre of a control, delivered to the window as the window system would.
    void click(QWidget* w)
    {
        const QPoint pos = w->mapTo(window_.get(), w->rect().center());
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, pos);
    }
    QPoint inView(int index)
    {
        return window_->view(index)->mapTo(window_.get(), QPoint(200, 150));
    }
    void drag(int view, const Moves& moves)
    {
        const QPoint start = inView(view);
        QTest::mousePress(window_->windowHandle(), Qt::LeftButton, {}, start);
        for (const QPoint& m : moves)
            QTest::mouseMove(window_->windowHandle(), start + m);
        QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, {}, start + moves.last());
    }
    void wheel(int view, int angle)
    {
        ViewWidget* v = window_->view(view);
        const QPointF pos(200, 150);
        QWheelEvent event(pos, v->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(v, &event);
    }
    void plot() { window_->session().press(QStringLiteral("cmdPlot")); }
    QImage viewImage(int index) { return rgb(window_->session().viewImage(index)); }

    // The shortest run of white (mesh) pixels along the rows of the frame's left half, on the
    // black background: a square pen of width w leaves runs of at least w on every row.
    static int thinnestRun(const QImage& frame)
    {
        const QImage image = rgb(frame);
        int thinnest = image.width();
        for (int y = 0; y < image.height(); ++y) {
            int run = 0;
            for (int x = 1; x < image.width() / 2 - 1; ++x) {
                if ((image.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu) {
                    ++run;
                } else {
                    if (run > 0 && run < x - 1) thinnest = std::min(thinnest, run);
                    run = 0;
                }
            }
        }
        return thinnest;
    }
    // The views are those of a Plot of the fields shown.
    void expectReplotted()
    {
        const QImage left = viewImage(0), right = viewImage(1);
        plot();
        QCOMPARE(viewImage(0), left);
        QCOMPARE(viewImage(1), right);
    }
    void makeLong(int spacings = 200, int segments = 20)
    {
        for (const char* name : {"txtSpacexu", "txtSpaceyv"})
            window_->setText(QLatin1String(name), QString::number(spacings));
        for (const char* name : {"txtSegsxu", "txtSegsyv"})
            window_->setText(QLatin1String(name), QString::number(segments));
    }

    QStringList messages_;
    std::unique_ptr<frmVantro> window_;
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(TestInput)
#include "test_input.moc"
