#include "app/Session.h"
#include "output/StereoImages.h"
#include "ui/PlotProgress.h"
#include "ui/ViewWidget.h"
#include "ui/frmVantro.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

namespace {
using Moves = QList<QPoint>; // from the press position

// The views' pixels in one comparable format.
QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}
} // namespace

class TestInteraction : public QObject
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

    void dragTurnsTheSurface_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<Moves>("moves");
        QTest::addColumn<QString>("zrot");
        QTest::addColumn<QString>("yrot");
        auto row = [](const char* tag, int view, Moves moves, const char* zrot, const char* yrot) {
            QTest::newRow(tag) << view << moves << QString::fromLatin1(zrot)
                               << QString::fromLatin1(yrot);
        };
        row("30 right in the left view", 0, {{30, 0}}, "30", "0");
        row("30 right in steps, right view", 1, {{10, 0}, {20, 0}, {30, 0}}, "30", "0");
        row("down adds to y", 0, {{0, 12}}, "0", "12");
        row("left and up", 1, {{-7, -3}, {-15, -5}}, "-15", "-5");
        row("there and back", 0, {{25, 0}, {0, 0}}, "0", "0");
    }
    void dragTurnsTheSurface()
    {
        QFETCH(int, view);
        QFETCH(Moves, moves);
        QFETCH(QString, zrot);
        QFETCH(QString, yrot);
        drag(view, moves);
        QCOMPARE(text("txtZrot"), zrot);
        QCOMPARE(text("txtYrot"), yrot);
        QVERIFY(messages_.isEmpty());
        expectReplotted();
    }

    void messageEndsTheDrag()
    {
        // A Plot that fails with a message during a drag: the drag ends there, one message only.
        setText("txtEquationZ", QStringLiteral("x +"));
        drag(0, {{5, 0}, {10, 0}, {15, 0}});
        QCOMPARE(text("txtZrot"), QStringLiteral("5"));
        QCOMPARE(messages_.size(), 1);
    }

    void movesDuringAPlotAreNotLost()
    {
        // The first move's plot is long; the moves that arrive during it write their turn at
        // once and supersede it, and the last position is the one drawn.
        makeLong();
        setText("txtZrot", QStringLiteral("20"));
        setText("txtYrot", QStringLiteral("4"));
        plot();
        const QImage expected = viewImage(1);
        setText("txtZrot", QStringLiteral("0"));
        setText("txtYrot", QStringLiteral("0"));
        plot();
        QVERIFY(viewImage(1) != expected);

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
        QVERIFY(!window_->session().isPlotting());
        QCOMPARE(text("txtZrot"), QStringLiteral("20"));
        QCOMPARE(text("txtYrot"), QStringLiteral("4"));
        QCOMPARE(viewImage(1), expected);
    }

    void dragWaitsForARefusingField()
    {
        // With 0 dots refused in the focused field neither a drag nor the wheel acts.
        focus("txtNdots");
        setText("txtNdots", QStringLiteral("0"));
        const QImage before = viewImage(1);
        drag(0, {{30, 0}});
        wheel(1, 120);
        QCOMPARE(text("txtZrot"), QStringLiteral("0"));
        QCOMPARE(text("txtWindowlx"), QStringLiteral("-2.5"));
        QCOMPARE(viewImage(1), before);
        QCOMPARE(QApplication::focusWidget(), control("txtNdots"));
        // Mended, the drag turns and the focus stays.
        setText("txtNdots", QStringLiteral("100"));
        drag(0, {{30, 0}});
        QCOMPARE(text("txtZrot"), QStringLiteral("30"));
        QCOMPARE(QApplication::focusWidget(), control("txtNdots"));
    }

    void wheelZoomsByNotches_data()
    {
        QTest::addColumn<QList<int>>("angles");
        QTest::addColumn<QStringList>("window"); // lx, gx, ly, gy, lz, gz
        const QStringList in = {"-1.25", "1.25", "-1", "1", "-0.75", "0.75"};
        const QStringList none = {"-2.5", "2.5", "-2", "2", "-1.5", "1.5"};
        QTest::newRow("one notch up zooms in") << QList<int>{120} << in;
        QTest::newRow("one notch down zooms out")
            << QList<int>{-120} << QStringList{"-5", "5", "-4", "4", "-3", "3"};
        QTest::newRow("touchpad: four eighths of a notch") << QList<int>{30, 30, 30, 30} << in;
        QTest::newRow("three quarters of a notch do nothing") << QList<int>{30, 30, 30} << none;
        QTest::newRow("up then down") << QList<int>{120, -120} << none;
        QTest::newRow("two notches at once")
            << QList<int>{240} << QStringList{"-0.625", "0.625", "-0.5", "0.5", "-0.375", "0.375"};
        QTest::newRow("a turn back drops the part gathered") << QList<int>{90, -30, 90} << none;
    }
    void wheelZoomsByNotches()
    {
        QFETCH(QList<int>, angles);
        QFETCH(QStringList, window);
        for (int angle : angles)
            wheel(0, angle);
        QStringList texts;
        for (const char* n : {"txtWindowlx", "txtWindowgx", "txtWindowly", "txtWindowgy",
                              "txtWindowlz", "txtWindowgz"})
            texts << text(n);
        QCOMPARE(texts, window);
        QVERIFY(messages_.isEmpty());
        expectReplotted();
    }

    void escapeStopsALongPlot_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::newRow("equation field") << "txtEquationZ";
        QTest::newRow("Plot button") << "cmdPlot";
        QTest::newRow("constants box") << "cboConstants";
    }
    void escapeStopsALongPlot()
    {
        QFETCH(QString, focused);
        const QImage left = viewImage(0), right = viewImage(1);
        focus(qPrintable(focused));
        makeLong();
        QElapsedTimer sinceKey;
        bool duringPlot = false;
        QObject scope;
        QTimer::singleShot(100, &scope, [&] {
            duringPlot = window_->session().isPlotting();
            sinceKey.start();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        plot();
        const qint64 stopped = sinceKey.isValid() ? sinceKey.elapsed() : -1;
        QVERIFY2(duringPlot, "the plot was over before the key");
        QVERIFY2(stopped >= 0 && stopped < 100, qPrintable(QString::number(stopped)));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(QApplication::focusWidget(), control(qPrintable(focused)));
        // The next Plot runs whole at once.
        makeLong(10, 2);
        plot();
        QCOMPARE(viewImage(0), left);
        QCOMPARE(viewImage(1), right);
    }

    void progressShowsOnlyDuringALongPlot()
    {
        PlotProgress* bar = window_->plotProgress();
        QVERIFY(bar);
        QVERIFY(bar->isHidden());
        makeLong(1000); // runs for seconds; cancelled after 900 ms
        bool early = true, late = false;
        double first = -1, second = -1;
        QObject scope;
        QTimer::singleShot(200, &scope, [&] { early = bar->isVisible(); });
        QTimer::singleShot(700, &scope, [&] {
            late = bar->isVisible();
            first = bar->fraction();
        });
        QTimer::singleShot(900, &scope, [&] {
            second = bar->fraction();
            window_->session().cancelPlot();
        });
        plot();
        QVERIFY(!early);
        QVERIFY(late);
        QVERIFY2(first > 0 && first < second && second < 1,
                 qPrintable(QStringLiteral("%1 %2").arg(first).arg(second)));
        QCOMPARE(bar->geometry(),
                 QRect(0, 300 - PlotProgress::Thickness, 400, PlotProgress::Thickness));
        QVERIFY(bar->isHidden());
        // A short plot never shows it.
        makeLong(10, 2);
        plot();
        QVERIFY(bar->isHidden());
    }

    void saveImageAndCopyAnaglyph_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name"); // as typed in the dialog
        QTest::addColumn<QString>("written");
        auto row = [](const char* filter, const char* name, const char* written) {
            QTest::newRow(filter) << QString::fromLatin1(filter) << QString::fromLatin1(name)
                                  << QString::fromLatin1(written);
        };
        row("Left view (*.png)", "a.png", "a.png");
        row("Left view (*.bmp)", "a", "a.bmp"); // suffix added
        row("Right view (*.png)", "b", "b.png");
        row("Right view (*.bmp)", "b.bmp", "b.bmp");
        row("Stereo pair, cross-eyed (*.png)", "p", "p.png");
        row("Stereo pair, parallel (*.bmp)", "p", "p.bmp");
        row("Anaglyph (*.png)", "c", "c.png");
        row("Anaglyph (*.bmp)", "c", "c.bmp");
    }
    void saveImageAndCopyAnaglyph()
    {
        QFETCH(QString, filter);
        QFETCH(QString, name);
        QFETCH(QString, written);
        setText("txtZrot", QStringLiteral("30")); // turned, so that the two views differ
        setText("txtStereo", QStringLiteral("3"));
        plot();
        QStringList offered;
        window_->setImageChooser([&](const QStringList& filters, QString& chosen) {
            offered = filters;
            chosen = filter;
            return dir_->filePath(name);
        });
        window_->findChild<QAction*>(QStringLiteral("mnuSaveImage"))->trigger();
        QVERIFY(messages_.isEmpty());
        QCOMPARE(offered.size(), 10);
        QVERIFY(offered.contains(filter));

        QImageReader reader(dir_->filePath(written));
        QCOMPARE(reader.format(), written.section(QLatin1Char('.'), -1).toLatin1());
        const QImage image = rgb(reader.read());
        const QImage left = viewImage(0), right = viewImage(1);
        QVERIFY(left != right);
        const bool parallel = filter.contains(QLatin1String("parallel"));
        QImage pair(800, 300, QImage::Format_RGB32);
        QPainter(&pair).drawImage(parallel ? 400 : 0, 0, left);
        QPainter(&pair).drawImage(parallel ? 0 : 400, 0, right);
        const QImage expected = filter.startsWith(QLatin1String("Left"))    ? left
                                : filter.startsWith(QLatin1String("Right")) ? right
                                : filter.startsWith(QLatin1String("Stereo"))
                                    ? pair
                                    : rgb(StereoImages::anaglyph(left, right));
        QCOMPARE(image, expected);
        if (!filter.startsWith(QLatin1String("Anaglyph"))) return;

        // The clipboard's anaglyph is the same: red from the right view's grey (the image for
        // the left eye), green and blue from the left view's.
        QApplication::clipboard()->clear();
        window_->findChild<QAction*>(QStringLiteral("mnuCopyAnaglyph"))->trigger();
        const QImage copied = rgb(QApplication::clipboard()->image());
        QCOMPARE(copied, expected);
        for (const QPoint p : {QPoint(10, 10), QPoint(200, 150), QPoint(300, 100)}) {
            const QRgb c = copied.pixel(p);
            QCOMPARE(
                QList<int>({qRed(c), qGreen(c), qBlue(c)}),
                QList<int>({qGray(right.pixel(p)), qGray(left.pixel(p)), qGray(left.pixel(p))}));
        }
    }

    void saveImageFailureGivesAMessage()
    {
        const QString missing = dir_->filePath(QStringLiteral("no such folder/x.png"));
        window_->setImageChooser([&](const QStringList& filters, QString& chosen) {
            chosen = filters.first();
            return missing;
        });
        window_->saveImage();
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_.first().startsWith(QStringLiteral("Cannot write")),
                 qPrintable(messages_[0]));
        QVERIFY(messages_.first().contains(QStringLiteral("does not exist")));
        // Cancelled: nothing written, nothing said.
        window_->setImageChooser([](const QStringList&, QString&) { return QString(); });
        window_->saveImage();
        QCOMPARE(messages_.size(), 1);
        QVERIFY(QDir(dir_->path()).isEmpty());
    }

private:
    QWidget* control(const char* name) { return window_->control(QLatin1String(name)); }
    QString text(const char* name) { return window_->text(QLatin1String(name)); }
    void setText(const char* name, const QString& value)
    {
        window_->setText(QLatin1String(name), value);
    }
    void focus(const char* name)
    {
        QWidget* w = control(name);
        w->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w);
    }
    QPoint inView(int index)
    {
        return window_->view(index)->mapTo(window_.get(), QPoint(200, 150));
    }
    // A drag delivered to the window as the window system would: press, moves, release.
    void drag(int view, const Moves& moves)
    {
        const QPoint start = inView(view);
        QTest::mousePress(window_->windowHandle(), Qt::LeftButton, {}, start);
        for (const QPoint& m : moves)
            QTest::mouseMove(window_->windowHandle(), start + m);
        QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, {},
                            start + (moves.isEmpty() ? QPoint() : moves.last()));
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
            setText(name, QString::number(spacings));
        for (const char* name : {"txtSegsxu", "txtSegsyv"})
            setText(name, QString::number(segments));
    }

    QStringList messages_;
    std::unique_ptr<frmVantro> window_;
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(TestInteraction)
#include "test_interaction.moc"
