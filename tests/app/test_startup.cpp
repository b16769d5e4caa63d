#include "app/StartUp.h"
#include "common/PixelCount.h"
#include "render/DrawingSurface.h"
#include "session/Session.h"
#include "ui/ProductText.h"
#include "ui/ViewWidget.h"
#include "ui/frmVantro.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

class TestStartUp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        window_ = std::make_unique<frmVantro>();
        window_->setMessageSink([](const QString&, const QString&) {});
    }

    void cleanup()
    {
        window_.reset();
        QDir::setCurrent(oldDir_);
        dir_.reset();
    }

    void startUpShowsSplashThenPlots()
    {
        const QStringList splash = ProductText::splashLines();
        QCOMPARE(splash.size(), 9);
        QCOMPARE(splash.at(2), QStringLiteral("Tavrigon"));
        for (int i : {0, 1, 3, 5, 7})
            QVERIFY(splash.at(i).isEmpty());

        bool waited = false;
        StartUp::showAndPlot(*window_, [&] {
            waited = true;
            QVERIFY(window_->isVisible());
            QVERIFY(!window_->session().renderState().PlotShown);
            const QImage left = window_->session().view(0).image();
            const QImage right = window_->session().view(1).image();
            QVERIFY(countPixels(left, QColor(255, 0, 0)) > 50);     // X arrow
            QVERIFY(countPixels(left, QColor(0, 0, 255)) > 50);     // Y arrow
            QVERIFY(countPixels(left, QColor(0, 107, 107)) > 50);   // Z arrow
            QVERIFY(countPixels(right, QColor(255, 128, 0)) > 100); // the splash text
            QCOMPARE(right.pixelColor(right.width() - 2, right.height() - 2), QColor(Qt::white));
            // The view widgets show what the views hold.
            QCOMPARE(window_->view(1)->geometry(), QRect(399, 0, 400, 300));
        });
        QVERIFY(waited);
        QVERIFY(window_->session().renderState().PlotShown);
        const QImage left = window_->session().view(0).image();
        QCOMPARE(countPixels(left, QColor(0, 107, 107), 10), 0);
    }

    // A file given at start is opened before the first plot; one that cannot be opened shows
    // its message and the default setup plots.
    void startUpWithFile()
    {
        const QString examples = QStringLiteral(TAVRIGON_SOURCE_DIR "/examples");
        for (const auto& [file, equation, messages] :
             {std::tuple{"/saddle.txt", "x*x - y*y", 0}, {"/missing.txt", "", 1}}) {
            int shown = 0;
            auto window = std::make_unique<frmVantro>();
            window->setMessageSink([&](const QString&, const QString&) { ++shown; });
            const QString defaultEquation = window->text(QStringLiteral("txtEquationZ"));
            StartUp::showAndPlot(*window, [] {}, examples + QLatin1String(file));
            QVERIFY(window->session().renderState().PlotShown);
            QCOMPARE(shown, messages);
            QCOMPARE(window->session().setup().EquationZ,
                     *equation ? QLatin1String(equation) : defaultEquation);
        }
    }

    void separatorQuestion_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("answer");
        using A = DecimalSeparatorGuard::Answer;
        QTest::newRow("Yes") << int(QMessageBox::Yes) << int(A::Yes);
        QTest::newRow("No") << int(QMessageBox::No) << int(A::No);
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << int(A::Cancel);
        QTest::newRow("closed") << -1 << int(A::Cancel);
    }
    void separatorQuestion()
    {
        QFETCH(int, button);
        QFETCH(int, answer);
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = true;
            QCOMPARE(box->windowTitle(), DecimalSeparatorGuard::title());
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->standardButtons(),
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            QCOMPARE(box->text(), DecimalSeparatorGuard::text());
            if (button < 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::StandardButton(button))->click();
        });
        const auto got = StartUp::askDecimalSeparator(DecimalSeparatorGuard::title(),
                                                      DecimalSeparatorGuard::text());
        QVERIFY(seen);
        QCOMPARE(int(got), answer);
    }

private:
    std::unique_ptr<frmVantro> window_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString oldDir_;
};

QTEST_MAIN(TestStartUp)
#include "test_startup.moc"
