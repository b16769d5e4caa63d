#include "app/Session.h"
#include "render/DrawingSurface.h"
#include "ui/HelpViewer.h"
#include "ui/ProductText.h"
#include "ui/StartUp.h"
#include "ui/ViewWidget.h"
#include "ui/frmAbout.h"
#include "ui/frmVantro.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {
// Counts pixels close to a colour.
int countPixels(const QImage& image, QColor colour, int tolerance = 40)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                     qAbs(c.blue() - colour.blue()) <=
                 tolerance;
        }
    return n;
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

const QString kExamples = QStringLiteral(TAVRIGON_SOURCE_DIR "/examples");
} // namespace

class TestWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        messages_.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        window_ = newWindow();
    }

    void cleanup()
    {
        window_.reset();
        QDir::setCurrent(oldDir_);
        dir_.reset();
    }

    // Every control lies wholly inside its frame, and no two controls of one frame overlap.
    void layout()
    {
        QCOMPARE(window_->view(1)->geometry(), QRect(399, 0, 400, 300));
        const QList<QGroupBox*> frames = window_->findChildren<QGroupBox*>();
        QVERIFY(frames.size() >= 17);
        for (QGroupBox* frame : frames) {
            QList<QWidget*> kids;
            for (QObject* o : frame->children())
                if (auto* w = qobject_cast<QWidget*>(o); w && !w->objectName().isEmpty()) kids << w;
            for (QWidget* w : kids) {
                QVERIFY2(QRect(QPoint(0, 0), frame->size()).contains(w->geometry()),
                         qPrintable(w->objectName()));
                for (QWidget* other : kids)
                    QVERIFY2(other == w || !w->geometry().intersects(other->geometry()),
                             qPrintable(w->objectName() + QLatin1Char('/') + other->objectName()));
            }
        }
        QCOMPARE(control("lblZ")->font().family(), QStringLiteral("MS Sans Serif"));
        QVERIFY(control("lblZ")->font().bold() && control("cmdDecWindX")->font().bold());
        QCOMPARE(control("cmdDecWindX")->font().pointSizeF(), 9.75);
    }

    void parametricToggle()
    {
        QVERIFY(control("txtEquationX")->isHidden() && !control("FraDer")->isHidden());
        QCOMPARE(window_->option(QStringLiteral("optBackclr")), 1);
        QVERIFY(showActive());
        QAbstractButton* parametric = button("chkParametric");
        QTest::mouseClick(parametric, Qt::LeftButton);
        QVERIFY(!control("txtEquationX")->isHidden() && control("FraDer")->isHidden());
        QCOMPARE(window_->caption(QStringLiteral("lblZ")), QStringLiteral("z(u,v)="));
        QTest::mouseClick(parametric, Qt::LeftButton);
        QVERIFY(control("txtEquationX")->isHidden() && !control("fraAccuracy")->isHidden());
    }

    void menuAndShortcuts()
    {
        QStringList bar;
        const QList<QAction*> top = window_->menuBar()->actions();
        for (QAction* a : top)
            bar << a->text() + (a->menu() ? QStringLiteral(">") : QString());
        QCOMPARE(bar, (QStringList{"&File>", "Print", "Help", "About"}));
        QStringList file;
        for (QAction* a : top[0]->menu()->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->objectName()) +
                        a->shortcut().toString();
        QCOMPARE(file,
                 (QStringList{"mnuOpenCtrl+O", "-", "mnuSaveCtrl+S", "mnuSaveAsCtrl+Shift+S", "-",
                              "mnuCopyLeft", "mnuCopyRight", "mnuCopyAnaglyph", "mnuSaveImage"}));
        QCOMPARE(top[1]->shortcut().toString(), QStringLiteral("Ctrl+P"));
        // Ctrl+Q closes the window.
        QVERIFY(showActive());
        QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window_->isVisible());
    }

    void tabOrder()
    {
        const QStringList expected =
            QStringLiteral(
                "txtEquationZ txtEquationY txtEquationX txtWindowlx txtWindowgx txtWindowly "
                "txtWindowgy txtWindowlz txtWindowgz txtRangelxu txtRangegxu txtRangelyv "
                "txtRangegyv cmdPlot txtXrot txtYrot txtZrot txtXtr txtYtr txtZtr txtSpacexu "
                "txtSpaceyv txtSegsxu txtSegsyv txtXorigin txtYorigin txtZorigin txtDivx txtDivy "
                "txtDivz txtNdots txtGrid txtStereo txtReduce txtXder txtYder cboConstants "
                "chkLines chkDots chkPersist chkParametric optBackclr_0 optBackclr_1 txtStepWindX")
                .split(QLatin1Char(' '));
        QStringList chain;
        for (QWidget* w = control("txtEquationZ"); chain.size() < expected.size();
             w = w->nextInFocusChain())
            if (window_->control(w->objectName()) == w && w->focusPolicy() != Qt::NoFocus)
                chain << w->objectName();
        QCOMPARE(chain, expected);

        // Tab lands on the selected option of a pair, and then on the next field.
        QVERIFY(showActive());
        for (int selected : {1, 0}) {
            window_->setOption(QStringLiteral("optBackclr"), selected);
            control("chkParametric")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(),
                     window_->control(QStringLiteral("optBackclr_%1").arg(selected)));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtStepWindX"));
        }
    }

    void keysPlot_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Alt+P in a range field")
            << "txtRangelxu" << int(Qt::Key_P) << int(Qt::AltModifier);
        QTest::newRow("Enter in the equation") << "txtEquationZ" << int(Qt::Key_Return) << 0;
    }
    void keysPlot()
    {
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QVERIFY(showActive());
        QWidget* w = window_->control(field);
        w->setFocus();
        QTest::keyClick(w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(window_->session().renderState().PlotShown);
        QVERIFY(messages_.isEmpty());
    }

    void buttonsAndComboForwardToTheSession()
    {
        QVERIFY(showActive());
        QTest::mouseClick(button("cmdDecWindX"), Qt::LeftButton);
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("-2"));
        QTest::mouseClick(button("cmdZoomQ1"), Qt::LeftButton);
        QTRY_VERIFY(window_->session().renderState().PlotShown);
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("0"));

        // Enter in the combo box adds; editing its text clears the views.
        auto* combo = qobject_cast<QComboBox*>(control("cboConstants"));
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("a=2"));
        QVERIFY(!window_->session().renderState().PlotShown);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(combo->count(), 1);
        QCOMPARE(window_->selectedConstant(), -1);
        // Remove acts on the entry chosen from the list only.
        QTest::mouseClick(button("cmdRemCons"), Qt::LeftButton);
        QCOMPARE(combo->count(), 1);
        combo->setCurrentIndex(0);
        QTest::mouseClick(button("cmdRemCons"), Qt::LeftButton);
        QCOMPARE(combo->count(), 0);

        // The copies shrink with the views.
        window_->setText(QStringLiteral("txtReduce"), QStringLiteral("0.5"));
        window_->session().press(QStringLiteral("cmdPlot"));
        trigger("mnuCopyLeft");
        QCOMPARE(rgb(QGuiApplication::clipboard()->image()), rgb(window_->session().viewImage(0)));
        trigger("mnuCopyRight");
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(200, 150));
    }

    void fileCommandsAskOnlyWhenTheyShould()
    {
        QStringList asked;
        QString answer = dir_->filePath(QStringLiteral("sub/first.txt"));
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("sub")));
        window_->setFileChooser([&](bool save, const QString& folder) {
            asked << (save ? QStringLiteral("save ") : QStringLiteral("open ")) + folder;
            return answer;
        });
        trigger("mnuSave"); // no name yet: asks
        QVERIFY(QFile::exists(answer));
        QVERIFY(showActive());
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier); // remembered: no dialog
        QCOMPARE(asked, QStringList{"save "});
        // Save As always asks, starting in the folder last used.
        answer = dir_->filePath(QStringLiteral("second.txt"));
        trigger("mnuSaveAs");
        QCOMPARE(asked.last(), QStringLiteral("save ") + dir_->filePath(QStringLiteral("sub")));
        QCOMPARE(window_->session().setupFileName(), answer);
        // Cancelling changes nothing.
        answer.clear();
        trigger("mnuOpen");
        QCOMPARE(asked.last(), QStringLiteral("open ") + dir_->path());
        QCOMPARE(window_->session().setupFileName(), dir_->filePath(QStringLiteral("second.txt")));

        // Open remembers the name even when the file is refused.
        answer = write("other.txt", "\"SOMETHING\",0\r\n");
        trigger("mnuOpen");
        QCOMPARE(messages_, QStringList{"Incompatible file"});
        QCOMPARE(window_->session().setupFileName(), answer);
        // A saved setup opens again into the fields.
        answer = dir_->filePath(QStringLiteral("sub/first.txt"));
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("-7"));
        trigger("mnuOpen");
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("-2.5"));
    }

    void droppedFileOpens()
    {
        QVERIFY(showActive());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(kExamples + QStringLiteral("/saddle.txt"))});
        QWidget* target = control("txtWindowlx"); // a field that takes text drops otherwise
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCOMPARE(window_->text(QStringLiteral("txtEquationZ")), QStringLiteral("x*x - y*y"));
        QCOMPARE(window_->session().setupFileName(), kExamples + QStringLiteral("/saddle.txt"));
    }

    void printReadsTheSetupFirst()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer would open its dialog");
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("2*")); // no dialog
        trigger("mnuPrint");
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("-2.5"));
        trigger("mnuPrint");
        QCOMPARE(messages_, (QStringList{"Syntax error", "No printer is available."}));
    }

    // After an engine message about a field, the focus is there with the text from the error's
    // position to the end selected.
    void engineMessageFocusesTheField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        QTest::newRow("syntax error") << "txtStereo"
                                      << "1 + * 2"
                                      << "* 2";
        QTest::newRow("division by zero") << "txtDivy"
                                          << "1/0"
                                          << "";
        QTest::newRow("unknown function") << "txtEquationZ"
                                          << "x + sqrt(y)"
                                          << "sqrt(y)";
    }
    void engineMessageFocusesTheField()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, selected);
        QVERIFY(showActive());
        control("txtXrot")->setFocus();
        window_->setText(field, text);
        window_->session().press(QStringLiteral("cmdPlot"));
        QCOMPARE(messages_.size(), 1);
        auto* e = qobject_cast<QLineEdit*>(window_->control(field));
        QTRY_COMPARE(QApplication::focusWidget(), e);
        QTest::qWait(20);
        QVERIFY2(e->hasSelectedText() && text.endsWith(e->selectedText()),
                 qPrintable(e->selectedText()));
        if (!selected.isEmpty()) QCOMPARE(e->selectedText(), selected);
    }

    void aboutTwiceThenAfreshThenClosedWithTheWindow()
    {
        window_->show();
        window_->showAbout();
        QPointer<frmAbout> about = window_->aboutWindow();
        QCOMPARE(about->printedLines().size(), 10);
        QCOMPARE(about->printedLines().at(3), QStringLiteral("Tavrigon"));
        window_->showAbout();
        QCOMPARE(window_->aboutWindow(), about.data());
        QCOMPARE(about->printedLines().mid(10), about->printedLines().mid(0, 10));
        // Light orange on black.
        QVERIFY(QTest::qWaitForWindowExposed(about.data()));
        const QImage image = about->grab().toImage();
        QVERIFY(countPixels(image, QColor(0, 0, 0), 0) > image.width() * image.height() / 2);
        QVERIFY(countPixels(image, QColor(0xFF, 0xC0, 0x80), 30) > 50);
        QTest::mouseClick(about.data(), Qt::LeftButton, {}, QPoint(300, 200));
        QTRY_VERIFY(!about);
        window_->showAbout();
        about = window_->aboutWindow();
        QCOMPARE(about->printedLines().size(), 10);
        QVERIFY(window_->close());
        QTRY_VERIFY(!about);
    }

    // F1 shows the start directory's file first; without one, the shipped file is found beside
    // the program or in the data folder, or the message names the start directory's path.
    void helpFromTheStartDirectoryFirst()
    {
        QVERIFY(showActive());
        QTest::keyClick(window_.get(), Qt::Key_F1);
        const bool found = messages_.isEmpty();
        if (!found) QVERIFY(messages_[0].contains(dir_->filePath(QStringLiteral("Vantro.hlp"))));
        write("Vantro.hlp", "<html><body><p>Draws the surface.</p></body></html>");
        QDir::setCurrent(oldDir_); // taken at load: moving elsewhere changes nothing
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QVERIFY(window_->helpViewer()->browser()->toPlainText().contains(
            QStringLiteral("Draws the surface.")));
    }

    // The shipped help names every menu command and every key.
    void shippedHelpNamesEveryCommand()
    {
        HelpViewer viewer;
        QString error;
        QVERIFY2(viewer.showFile(QStringLiteral(TAVRIGON_SOURCE_DIR "/Vantro.hlp"), error),
                 qPrintable(error));
        const QString help = viewer.browser()->toPlainText();
        QStringList wanted = {"Alt+P", "Enter",  "Esc", "drag", "wheel",
                              "Alt+F", "Ctrl+Q", "Sqr", "Atn",  "natural logarithm",
                              "Atanh", "(-x)^2", "-1"};
        for (QAction* a : window_->findChildren<QAction*>()) {
            if (a->isSeparator() || a->objectName() == QLatin1String("actQuit")) continue;
            wanted << a->text().remove(QLatin1Char('&'));
            if (!a->shortcut().isEmpty()) wanted << a->shortcut().toString();
        }
        for (const QString& w : std::as_const(wanted))
            QVERIFY2(help.contains(w), qPrintable(w));
    }

    void startUp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("equation");
        QTest::addColumn<int>("messages");
        QTest::newRow("no file") << QString() << QString() << 0;
        QTest::newRow("a setup file") << "/saddle.txt"
                                      << "x*x - y*y" << 0;
        QTest::newRow("a missing file") << "/missing.txt" << QString() << 1;
    }
    void startUp()
    {
        QFETCH(QString, file);
        QFETCH(QString, equation);
        QFETCH(int, messages);
        const QString path = file.isEmpty() ? QString() : kExamples + file;
        const QString defaultEquation = window_->text(QStringLiteral("txtEquationZ"));
        bool waited = false;
        StartUp::showAndPlot(
            *window_,
            [&] {
                waited = true;
                QVERIFY(!window_->session().renderState().PlotShown);
                const QImage left = window_->session().view(0).image();
                const QImage right = window_->session().view(1).image();
                QVERIFY(countPixels(left, QColor(0, 107, 107)) > 50);   // Z arrow
                QVERIFY(countPixels(right, QColor(255, 128, 0)) > 100); // the splash text
            },
            path);
        QVERIFY(waited);
        QVERIFY(window_->session().renderState().PlotShown);
        QCOMPARE(messages_.size(), messages);
        QCOMPARE(window_->session().setup().EquationZ,
                 equation.isEmpty() ? defaultEquation : equation);
        QCOMPARE(countPixels(window_->session().view(0).image(), QColor(0, 107, 107), 10), 0);
        if (equation.isEmpty()) return;
        // Ctrl+S saves to the file opened.
        const QString copy = write("copy.txt", "");
        QVERIFY(QFile::remove(copy) && QFile::copy(path, copy));
        window_->openSetupFile(copy);
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("-3"));
        QVERIFY(showActive());
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        QFile saved(copy);
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll().contains("-3,2.5"));
    }

    // The same seed draws the same dots in another window; another seed other dots.
    void seedMakesDotsReproducible()
    {
        auto dots = [this](quint32 seed) {
            auto w = newWindow();
            w->session().seedRandom(seed);
            w->setChecked(QStringLiteral("chkDots"), true);
            w->setChecked(QStringLiteral("chkLines"), false);
            w->session().press(QStringLiteral("cmdPlot"));
            return rgb(w->session().viewImage(1));
        };
        const QImage first = dots(7);
        QCOMPARE(dots(7), first);
        QVERIFY(dots(8) != first);
        QVERIFY(messages_.isEmpty());
    }

    void everyExampleOpensAndPlots_data()
    {
        QTest::addColumn<QString>("path");
        const QFileInfoList files = QDir(kExamples).entryInfoList({QStringLiteral("*.txt")});
        QVERIFY(files.size() >= 7);
        for (const QFileInfo& f : files)
            QTest::newRow(qPrintable(f.fileName())) << f.absoluteFilePath();
    }
    void everyExampleOpensAndPlots()
    {
        QFETCH(QString, path);
        const QImage before = rgb(window_->session().viewImage(1));
        QVERIFY(window_->session().openSetup(path));
        window_->session().press(QStringLiteral("cmdPlot"));
        QCOMPARE(messages_, QStringList());
        QVERIFY(window_->session().renderState().PlotShown);
        // The surface is drawn in white over the black background.
        QVERIFY(countPixels(window_->session().viewImage(1), Qt::white, 0) > 2000);
        QVERIFY(rgb(window_->session().viewImage(1)) != before);
    }

    void separatorQuestion()
    {
        using A = DecimalSeparatorGuard::Answer;
        for (const auto& [button, answer] : {std::pair{int(QMessageBox::Yes), A::Yes},
                                             {int(QMessageBox::No), A::No},
                                             {-1, A::Cancel}}) {
            QTimer::singleShot(0, this, [button = button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QCOMPARE(box->icon(), QMessageBox::Critical);
                if (button < 0)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->button(QMessageBox::StandardButton(button))->click();
            });
            QCOMPARE(StartUp::askDecimalSeparator(DecimalSeparatorGuard::title(),
                                                  DecimalSeparatorGuard::text()),
                     answer);
        }
    }

private:
    std::unique_ptr<frmVantro> newWindow()
    {
        auto w = std::make_unique<frmVantro>();
        w->setMessageSink([this](const QString& text, const QString&) { messages_ << text; });
        return w;
    }
    bool showActive()
    {
        window_->show();
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }
    QString write(const char* name, const QByteArray& bytes)
    {
        QFile f(dir_->filePath(QLatin1String(name)));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
        return f.fileName();
    }
    QAbstractButton* button(const char* name)
    {
        return qobject_cast<QAbstractButton*>(control(name));
    }
    void trigger(const char* name) { window_->findChild<QAction*>(QLatin1String(name))->trigger(); }
    QWidget* control(const char* name) { return window_->control(QLatin1String(name)); }

    QStringList messages_;
    std::unique_ptr<frmVantro> window_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString oldDir_;
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
