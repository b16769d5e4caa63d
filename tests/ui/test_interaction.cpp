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
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

namespace {
struct Move
{
    int dx, dy; // from the press position
};
using Moves = QList<Move>;

// The views' pixels in one comparable format.
QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}
} // namespace

Q_DECLARE_METATYPE(Moves)

class TestInteraction : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void dragTurnsTheSurface_data();
    void dragTurnsTheSurface();
    void movesDuringAPlotAreNotLost();
    void messageEndsTheDrag();
    void dragWaitsForARefusingField_data();
    void dragWaitsForARefusingField();
    void wheelZoomsByNotches_data();
    void wheelZoomsByNotches();
    void escapeStopsALongPlot_data();
    void escapeStopsALongPlot();
    void progressShowsOnlyDuringALongPlot();
    void menuEntriesFollowCopyRight();
    void saveImageWritesTheChosenImage_data();
    void saveImageWritesTheChosenImage();
    void saveImageFailureGivesAMessage();
    void copyAnaglyphPutsItOnTheClipboard();

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
    QPoint inView(int index, int x, int y)
    {
        return window_->view(index)->mapTo(window_.get(), QPoint(x, y));
    }
    // A drag delivered to the window as the window system would: press, moves, release.
    void drag(int view, const Moves& moves)
    {
        const QPoint start = inView(view, 200, 150);
        QTest::mousePress(window_->windowHandle(), Qt::LeftButton, {}, start);
        for (const Move& m : moves)
            QTest::mouseMove(window_->windowHandle(), start + QPoint(m.dx, m.dy));
        const Move last = moves.isEmpty() ? Move{0, 0} : moves.last();
        QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, {},
                            start + QPoint(last.dx, last.dy));
    }
    void wheel(int view, int angle)
    {
        ViewWidget* v = window_->view(view);
        const QPointF pos(200, 150);
        QWheelEvent event(pos, v->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(v, &event);
    }
    void plotByButton() { window_->session().press(QStringLiteral("cmdPlot")); }
    QImage viewImage(int index) { return rgb(window_->session().viewImage(index)); }
    void makeLong()
    {
        setText("txtSpacexu", QStringLiteral("200"));
        setText("txtSpaceyv", QStringLiteral("200"));
        setText("txtSegsxu", QStringLiteral("20"));
        setText("txtSegsyv", QStringLiteral("20"));
    }

    QStringList messages_;
    std::unique_ptr<frmVantro> window_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestInteraction::init()
{
    messages_.clear();
    dir_ = std::make_unique<QTemporaryDir>();
    window_ = std::make_unique<frmVantro>();
    window_->setMessageSink([this](const QString& text, const QString&) { messages_ << text; });
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    plotByButton();
}

void TestInteraction::cleanup()
{
    window_.reset();
    dir_.reset();
}

void TestInteraction::dragTurnsTheSurface_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<Moves>("moves");
    QTest::addColumn<QString>("zrot");
    QTest::addColumn<QString>("yrot");
    QTest::newRow("30 right in the left view") << 0 << Moves{{30, 0}} << "30"
                                               << "0";
    QTest::newRow("30 right in steps, right view") << 1 << Moves{{10, 0}, {20, 0}, {30, 0}} << "30"
                                                   << "0";
    QTest::newRow("down adds to y") << 0 << Moves{{0, 12}} << "0"
                                    << "12";
    QTest::newRow("left and up") << 1 << Moves{{-7, -3}, {-15, -5}} << "-15"
                                 << "-5";
    QTest::newRow("there and back") << 0 << Moves{{25, 0}, {0, 0}} << "0"
                                    << "0";
}

void TestInteraction::messageEndsTheDrag()
{
    // A Plot that fails with a message during a drag: the drag ends there, one message only.
    setText("txtEquationZ", QStringLiteral("x +"));
    drag(0, {{5, 0}, {10, 0}, {15, 0}});
    QCOMPARE(text("txtZrot"), QStringLiteral("5"));
    QCOMPARE(messages_.size(), 1);
}

void TestInteraction::dragTurnsTheSurface()
{
    QFETCH(int, view);
    QFETCH(Moves, moves);
    QFETCH(QString, zrot);
    QFETCH(QString, yrot);
    drag(view, moves);
    QCOMPARE(text("txtZrot"), zrot);
    QCOMPARE(text("txtYrot"), yrot);
    QVERIFY(messages_.isEmpty());
    const QImage left = viewImage(0), right = viewImage(1);

    // The same rotation typed in and plotted draws the same pair.
    plotByButton();
    QCOMPARE(viewImage(0), left);
    QCOMPARE(viewImage(1), right);
}

void TestInteraction::movesDuringAPlotAreNotLost()
{
    // The first move's plot is long; the moves that arrive during it write their turn at
    // once and supersede it, and the last position is the one drawn.
    makeLong();
    setText("txtZrot", QStringLiteral("20"));
    setText("txtYrot", QStringLiteral("4"));
    plotByButton();
    const QImage expected = viewImage(1);
    setText("txtZrot", QStringLiteral("0"));
    setText("txtYrot", QStringLiteral("0"));
    plotByButton();
    QVERIFY(viewImage(1) != expected);

    const QPoint start = inView(0, 200, 150);
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

void TestInteraction::dragWaitsForARefusingField_data()
{
    QTest::addColumn<QString>("ndots");
    QTest::addColumn<QString>("zrot");
    QTest::newRow("0 dots refused") << "0"
                                    << "0";
    QTest::newRow("100 dots accepted") << "100"
                                       << "30";
}

void TestInteraction::dragWaitsForARefusingField()
{
    QFETCH(QString, ndots);
    QFETCH(QString, zrot);
    focus("txtNdots");
    setText("txtNdots", ndots);
    const QImage before = viewImage(1);
    drag(0, {{30, 0}});
    QCOMPARE(text("txtZrot"), zrot);
    QCOMPARE(QApplication::focusWidget(), control("txtNdots"));
    if (zrot == QLatin1String("0")) {
        QCOMPARE(viewImage(1), before);
        // Nor does the wheel zoom.
        wheel(1, 120);
        QCOMPARE(text("txtWindowlx"), QStringLiteral("-2.5"));
    }
}

void TestInteraction::wheelZoomsByNotches_data()
{
    QTest::addColumn<QList<int>>("angles");
    QTest::addColumn<QStringList>("window"); // lx, gx, ly, gy, lz, gz
    const QStringList in = {"-1.25", "1.25", "-1", "1", "-0.75", "0.75"};
    const QStringList out = {"-5", "5", "-4", "4", "-3", "3"};
    const QStringList none = {"-2.5", "2.5", "-2", "2", "-1.5", "1.5"};
    QTest::newRow("one notch up zooms in") << QList<int>{120} << in;
    QTest::newRow("one notch down zooms out") << QList<int>{-120} << out;
    QTest::newRow("touchpad: four eighths of a notch") << QList<int>{30, 30, 30, 30} << in;
    QTest::newRow("three quarters of a notch do nothing") << QList<int>{30, 30, 30} << none;
    QTest::newRow("up then down") << QList<int>{120, -120} << none;
    QTest::newRow("two notches at once")
        << QList<int>{240} << QStringList{"-0.625", "0.625", "-0.5", "0.5", "-0.375", "0.375"};
    QTest::newRow("a turn back drops the part gathered") << QList<int>{90, -30, 90} << none;
}

void TestInteraction::wheelZoomsByNotches()
{
    QFETCH(QList<int>, angles);
    QFETCH(QStringList, window);
    for (int angle : angles)
        wheel(0, angle);
    const QStringList names = {"txtWindowlx", "txtWindowgx", "txtWindowly",
                               "txtWindowgy", "txtWindowlz", "txtWindowgz"};
    QStringList texts;
    for (const QString& n : names)
        texts << window_->text(n);
    QCOMPARE(texts, window);
    QVERIFY(messages_.isEmpty());

    // The zoom replotted: the views are those of a Plot of the window shown.
    const QImage right = viewImage(1);
    plotByButton();
    QCOMPARE(viewImage(1), right);
}

void TestInteraction::escapeStopsALongPlot_data()
{
    QTest::addColumn<QString>("focused");
    QTest::newRow("equation field") << "txtEquationZ";
    QTest::newRow("Plot button") << "cmdPlot";
    QTest::newRow("constants box") << "cboConstants";
}

void TestInteraction::escapeStopsALongPlot()
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
    QElapsedTimer whole;
    whole.start();
    plotByButton();
    const qint64 stopped = sinceKey.isValid() ? sinceKey.elapsed() : -1;
    QVERIFY2(duringPlot,
             qPrintable(QStringLiteral("the plot took only %1 ms").arg(whole.elapsed())));
    QVERIFY2(stopped >= 0 && stopped < 100, qPrintable(QString::number(stopped)));
    qInfo("Esc to the plot's return: %lld ms", stopped);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(QApplication::focusWidget(), control(qPrintable(focused)));

    // The next Plot runs whole at once.
    setText("txtSpacexu", QStringLiteral("10"));
    setText("txtSpaceyv", QStringLiteral("10"));
    setText("txtSegsxu", QStringLiteral("2"));
    setText("txtSegsyv", QStringLiteral("2"));
    plotByButton();
    QCOMPARE(viewImage(0), left);
    QCOMPARE(viewImage(1), right);
}

void TestInteraction::progressShowsOnlyDuringALongPlot()
{
    PlotProgress* bar = window_->plotProgress();
    QVERIFY(bar);
    QVERIFY(bar->isHidden());
    // Long enough to run for seconds; it is stopped after 900 ms.
    makeLong();
    setText("txtSpacexu", QStringLiteral("1000"));
    setText("txtSpaceyv", QStringLiteral("1000"));
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
    plotByButton();
    QVERIFY(!early);
    QVERIFY(late);
    QVERIFY2(first > 0 && first < second && second < 1,
             qPrintable(QStringLiteral("%1 %2").arg(first).arg(second)));
    QCOMPARE(bar->geometry(),
             QRect(0, 300 - PlotProgress::Thickness, 400, PlotProgress::Thickness));
    QVERIFY(bar->isHidden());

    // A short plot never shows it.
    setText("txtSpacexu", QStringLiteral("10"));
    setText("txtSpaceyv", QStringLiteral("10"));
    plotByButton();
    QVERIFY(bar->isHidden());
}

void TestInteraction::menuEntriesFollowCopyRight()
{
    QMenu* file = window_->menuBar()->actions().first()->menu();
    QStringList names;
    for (QAction* a : file->actions())
        names << a->objectName();
    const qsizetype right = names.indexOf(QStringLiteral("mnuCopyRight"));
    QVERIFY(right >= 0);
    QCOMPARE(names.mid(right + 1), (QStringList{"mnuCopyAnaglyph", "mnuSaveImage"}));
    QCOMPARE(file->actions()[right + 1]->text(), QStringLiteral("Copy anaglyph to clipboard"));
    QCOMPARE(file->actions()[right + 2]->text(), QStringLiteral("Save image..."));
}

void TestInteraction::saveImageWritesTheChosenImage_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("name"); // as typed in the dialog
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("left PNG") << "Left view (*.png)"
                              << "a.png"
                              << "a.png" << QByteArray("png");
    QTest::newRow("left BMP, suffix added") << "Left view (*.bmp)"
                                            << "a"
                                            << "a.bmp" << QByteArray("bmp");
    QTest::newRow("right PNG") << "Right view (*.png)"
                               << "b"
                               << "b.png" << QByteArray("png");
    QTest::newRow("right BMP") << "Right view (*.bmp)"
                               << "b.bmp"
                               << "b.bmp" << QByteArray("bmp");
    QTest::newRow("pair PNG") << "Stereo pair (*.png)"
                              << "p"
                              << "p.png" << QByteArray("png");
    QTest::newRow("pair BMP") << "Stereo pair (*.bmp)"
                              << "p"
                              << "p.bmp" << QByteArray("bmp");
    QTest::newRow("anaglyph PNG") << "Anaglyph (*.png)"
                                  << "c"
                                  << "c.png" << QByteArray("png");
    QTest::newRow("anaglyph BMP") << "Anaglyph (*.bmp)"
                                  << "c"
                                  << "c.bmp" << QByteArray("bmp");
}

void TestInteraction::saveImageWritesTheChosenImage()
{
    QFETCH(QString, filter);
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(QByteArray, format);
    // Turned, so that the two views differ.
    setText("txtZrot", QStringLiteral("30"));
    setText("txtStereo", QStringLiteral("3"));
    plotByButton();
    QStringList offered;
    window_->setImageChooser([&](const QStringList& filters, QString& chosen) {
        offered = filters;
        chosen = filter;
        return dir_->filePath(name);
    });
    window_->findChild<QAction*>(QStringLiteral("mnuSaveImage"))->trigger();
    QVERIFY(messages_.isEmpty());
    QCOMPARE(offered.size(), 8);
    QVERIFY(offered.contains(filter));

    QImageReader reader(dir_->filePath(written));
    QCOMPARE(reader.format(), format);
    const QImage image = rgb(reader.read());
    const QImage left = viewImage(0), right = viewImage(1);
    QVERIFY(left != right);
    if (filter.startsWith(QLatin1String("Left"))) {
        QCOMPARE(image, left);
    } else if (filter.startsWith(QLatin1String("Right"))) {
        QCOMPARE(image, right);
    } else if (filter.startsWith(QLatin1String("Stereo"))) {
        QCOMPARE(image.size(), QSize(800, 300));
        QCOMPARE(image.copy(0, 0, 400, 300), left);
        QCOMPARE(image.copy(400, 0, 400, 300), right);
    } else {
        QCOMPARE(image.size(), QSize(400, 300));
        int mismatches = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) {
                const QRgb p = image.pixel(x, y);
                mismatches += qRed(p) != qGray(left.pixel(x, y)) ||
                              qGreen(p) != qGray(right.pixel(x, y)) ||
                              qBlue(p) != qGray(right.pixel(x, y));
            }
        QCOMPARE(mismatches, 0);
    }
}

void TestInteraction::saveImageFailureGivesAMessage()
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

void TestInteraction::copyAnaglyphPutsItOnTheClipboard()
{
    setText("txtStereo", QStringLiteral("3"));
    plotByButton();
    QApplication::clipboard()->clear();
    window_->findChild<QAction*>(QStringLiteral("mnuCopyAnaglyph"))->trigger();
    const QImage copied = rgb(QApplication::clipboard()->image());
    const QImage left = viewImage(0), right = viewImage(1);
    QVERIFY(left != right);
    QCOMPARE(copied, rgb(StereoImages::anaglyph(left, right)));
    QCOMPARE(qRed(copied.pixel(10, 10)), qGray(left.pixel(10, 10)));
}

QTEST_MAIN(TestInteraction)
#include "test_interaction.moc"
