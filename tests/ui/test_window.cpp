#include "common/PixelCount.h"
#include "render/DrawingSurface.h"
#include "session/Session.h"
#include "ui/HelpViewer.h"
#include "ui/ProductText.h"
#include "ui/ViewWidget.h"
#include "ui/frmAbout.h"
#include "ui/frmVantro.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {
QString captionOf(QWidget* w)
{
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    return {};
}
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
        window_ = std::make_unique<frmVantro>();
        window_->setMessageSink([this](const QString& text, const QString&) { messages_ << text; });
    }

    void cleanup()
    {
        window_.reset();
        QDir::setCurrent(oldDir_);
        dir_.reset();
    }

    void geometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect"); // null: not checked
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        // Twips / 15, relative to the client area or to the enclosing frame.
        auto row = [](const char* name, QRect rect, const char* caption = "",
                      const char* tip = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << rect << QString::fromLatin1(caption)
                                << QString::fromLatin1(tip);
        };
        row("pic_0", {0, 0, 400, 300});
        row("pic_1", {399, 0, 400, 300});
        row("lblZ", {0, 300, 41, 18}, "z(x,y)=");
        row("txtEquationZ", {41, 300, 400, 18}, "(x-1)*x*(x+1)*(y-1)*y*(y+1)*5",
            "Function must be entered in terms of \"x\" and \"y\"");
        row("lblY", {0, 318, 41, 18}, "y(u,v)=");
        row("txtEquationY", {41, 318, 400, 18}, "u");
        row("txtEquationX", {41, 336, 400, 18}, "v");
        row("cmdPlot", {442, 300, 28, 18}, "&Plot", "Plot");
        row("fraWindow", {0, 354, 324, 68}, "Window");
        row("fraRange", {0, 420, 324, 50}, "Range");
        row("fraGraph", {0, 468, 234, 32}, "Graph");
        row("fraBackground", {234, 468, 100, 32}, "Background");
        row("fraZoomPan", {326, 354, 142, 96}, "Zooming and panning");
        row("fraConstants", {336, 448, 145, 53}, "User constants",
            "Add or remove user-defined constants");
        row("fraRotation", {471, 300, 163, 68}, "Rotation (degrees)");
        row("fraTranslation", {471, 366, 163, 68}, "Translation");
        row("fraAccuracy", {471, 434, 163, 17}, "PD accuracy");
        row("fraSpacings", {482, 450, 78, 50}, "# of spacings");
        row("fraSegments", {560, 450, 140, 50}, "# of segments per spacing");
        row("fraAxes", {635, 300, 64, 68}, "Axes");
        row("fraDivisions", {701, 300, 97, 68}, "Divisions on axes");
        row("fraOther", {635, 366, 163, 86}, "Other");
        row("FraDer", {700, 450, 68, 50}, "Derivatives");
        // Rows inside the frames.
        row("txtWindowlx", {5, 13, 78, 17}, "-2.5");
        row("lblWindowx", {85, 13, 42, 17}, "<=x<=");
        row("cmdDecWindX", {209, 13, 20, 17}, "-");
        row("txtStepWindX", {253, 13, 66, 17}, "1");
        row("txtRangelyv", {5, 31, 78, 17}, "-1");
        row("lblyv", {85, 31, 42, 17}, "<=y<=");
        row("chkLines", {5, 13, 47, 16}, "Lines", "Check if you want lines");
        row("chkParametric", {153, 13, 78, 16}, "Parametric",
            "Check if you want parametric representation");
        row("optBackclr_0", {5, 13, 47, 16}, "White");
        row("cmdZoomIn", {4, 13, 37, 17}, "In");
        row("cmdZoomQ4", {58, 12, 17, 15}, "4");
        row("cmdZoomQ5", {4, 28, 17, 15}, "5");
        row("cmdPanUp", {18, 14, 14, 20}, "U");
        row("cmdPanLeft", {3, 36, 14, 20}, "L");
        row("cmdPanDown", {18, 58, 14, 20}, "D", "Pan down");
        row("cmdAddCons", {5, 12, 66, 17}, "Add", "Add (register) constant");
        row("cmdRemCons", {74, 12, 66, 17}, "Remove", "Remove selected constant");
        row("cboConstants", {5, 31, 135, 20}, "Example: a=2.37", "Example: a=2.37");
        row("txtXrot", {22, 13, 56, 17}, "0");
        row("txtStepRotZ", {124, 49, 34, 17}, "5");
        row("OptAccuracy_1", {118, 1, 42, 15}, "High");
        row("lblSpacexu", {4, 13, 14, 17}, "x:");
        row("txtSegsxu", {20, 13, 60, 17}, "2");
        row("txtZorigin", {20, 49, 40, 17}, "0");
        row("txtDivy", {20, 31, 72, 17}, "1");
        row("lblNdots", {4, 13, 114, 17}, "# of dots:");
        row("txtNdots", {120, 13, 37, 17}, "5000");
        row("txtGrid", {120, 31, 37, 17}, "5", "Number of screen grid lines");
        row("txtReduce", {120, 67, 37, 17}, "1");
        row("txtYder", {20, 31, 40, 17}, "0");
        // Tool tips of controls placed as their neighbours above.
        row("chkDots", {}, "", "Check if you want random dots");
        row("chkPersist", {}, "", "Check if you want persistent graphics");
        row("txtYrot", {}, "", "In degrees");
        row("txtWindowly", {}, "", "Lower limit of window");
        row("txtWindowgz", {}, "", "Upper limit of window");
        row("txtRangelxu", {}, "", "Lower limit of range");
        row("txtRangegyv", {}, "", "Upper limit of range");
        row("lblWindowy", {}, "", "Defines interval to be studied");
        row("txtStepRotX", {}, "", "Degrees to add or subtract");
        row("txtStepTranY", {}, "", "Units to add or subtract");
        row("cmdDecRotY", {}, "", "Subtract the number of degrees show on the right");
        row("cmdIncWindZ", {}, "", "Add the number of units show on the right");
        row("cmdZoomQ7", {}, "", "Zoom octant 7");
    }
    void geometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        QWidget* w = window_->control(name);
        if (!w) w = window_->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        if (!rect.isNull()) QCOMPARE(w->geometry(), rect);
        if (!caption.isEmpty()) QCOMPARE(captionOf(w), caption);
        if (!tip.isEmpty()) QCOMPARE(w->toolTip(), tip);
    }

    // Every control lies wholly inside its frame (below the frame's caption), and no two
    // controls of one frame overlap.
    void rowsStayInsideTheirFrames()
    {
        const QList<QGroupBox*> frames = window_->findChildren<QGroupBox*>();
        QVERIFY(frames.size() >= 17);
        for (QGroupBox* frame : frames) {
            QList<QWidget*> kids;
            for (QObject* o : frame->children())
                if (auto* w = qobject_cast<QWidget*>(o); w && !w->objectName().isEmpty()) kids << w;
            for (QWidget* w : kids) {
                QVERIFY2(
                    QRect(QPoint(0, 0), frame->size()).contains(w->geometry()),
                    qPrintable(w->objectName() + QStringLiteral(" in ") + frame->objectName()));
                for (QWidget* other : kids)
                    if (other != w)
                        QVERIFY2(!w->geometry().intersects(other->geometry()),
                                 qPrintable(w->objectName() + QStringLiteral(" / ") +
                                            other->objectName()));
            }
        }
    }

    void explicitLayoutAtStart()
    {
        for (const char* hidden : {"txtEquationY", "txtEquationX", "lblY", "lblX"})
            QVERIFY2(control(hidden)->isHidden(), hidden);
        for (const char* shown : {"FraDer", "fraAccuracy", "lblZ", "txtEquationZ"})
            QVERIFY2(!control(shown)->isHidden(), shown);
        for (const char* box : {"chkLines", "chkDots", "chkPersist", "chkParametric"})
            QCOMPARE(button(box)->isChecked(), box == std::string_view("chkLines"));
        QCOMPARE(window_->option(QStringLiteral("optBackclr")), 1);
        QCOMPARE(window_->option(QStringLiteral("OptAccuracy")), 0);
        QCOMPARE(window_->windowTitle(), QStringLiteral("Tavrigon"));

        // The toggle there and back restores every item.
        QAbstractButton* parametric = button("chkParametric");
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTest::mouseClick(parametric, Qt::LeftButton);
        QVERIFY(!control("txtEquationX")->isHidden());
        QVERIFY(control("FraDer")->isHidden());
        QCOMPARE(window_->caption(QStringLiteral("lblZ")), QStringLiteral("z(u,v)="));
        QCOMPARE(window_->caption(QStringLiteral("lblSegsyv")), QStringLiteral("v:"));
        QTest::mouseClick(parametric, Qt::LeftButton);
        QVERIFY(control("txtEquationX")->isHidden());
        QVERIFY(!control("fraAccuracy")->isHidden());
        QCOMPARE(window_->caption(QStringLiteral("lblxu")), QStringLiteral("<=x<="));
    }

    void fonts()
    {
        for (const char* name : {"lblZ", "lblWindowx", "lblNdots", "lblXder", "lblSpaceyv"}) {
            const QFont f = control(name)->font();
            QCOMPARE(f.family(), QStringLiteral("MS Sans Serif"));
            QVERIFY2(f.bold(), name);
            QCOMPARE(f.pointSizeF(), 8.25);
        }
        for (const char* name : {"cmdDecWindX", "cmdIncRangYV", "cmdIncTranZ"}) {
            const QFont f = control(name)->font();
            QVERIFY2(f.bold(), name);
            QCOMPARE(f.pointSizeF(), 9.75);
        }
        QVERIFY(!control("cmdPlot")->font().bold());
    }

    void colours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        // &H00BBGGRR as painted.
        auto row = [](const char* tag, const char* name, QRgb colour) {
            QTest::newRow(tag) << QString::fromLatin1(name) << QColor(colour);
        };
        row("button", "cmdPlot", 0xFFC0C0);
        row("step button", "cmdDecRotX", 0xFFC0C0);
        row("Add and Remove", "cmdAddCons", 0x00C0C0);
        row("text field", "txtWindowlx", 0xC0FFC0);
        row("check box", "chkDots", 0xC0FFC0);
        row("option", "optBackclr_0", 0xC0FFC0);
        row("frame", "fraZoomPan", 0xC0FFFF);
    }
    void colours()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QWidget* w = window_->control(name);
        const QImage image = w->grab().toImage();
        // Most of the face has the colour (text and borders aside).
        QVERIFY2(countPixels(image, colour, 12) > image.width() * image.height() / 3,
                 qPrintable(name));
    }

    void menuBar()
    {
        // Only File opens a menu.
        QStringList bar;
        const QList<QAction*> top = window_->menuBar()->actions();
        for (QAction* a : top)
            bar << a->text() + (a->menu() ? QStringLiteral(">") : QString());
        QCOMPARE(bar, (QStringList{"File>", "Print", "Help", "About"}));
        QStringList file;
        for (QAction* a : top[0]->menu()->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text()) + QLatin1Char('/') +
                        a->objectName();
        QCOMPARE(file,
                 (QStringList{"Open/mnuOpen", "-/mnuFileBar1", "Save/mnuSave", "Save As/mnuSaveAs",
                              "-/mnuFileBar2", "Copy Left graph to clipboard/mnuCopyLeft",
                              "Copy Right graph to clipboard/mnuCopyRight",
                              "Copy anaglyph to clipboard/mnuCopyAnaglyph",
                              "Save image.../mnuSaveImage"}));
    }

    void tabOrder()
    {
        const QStringList expected = {
            "txtEquationZ",  "txtEquationY",  "txtEquationX",  "txtWindowlx",  "txtWindowgx",
            "txtWindowly",   "txtWindowgy",   "txtWindowlz",   "txtWindowgz",  "txtRangelxu",
            "txtRangegxu",   "txtRangelyv",   "txtRangegyv",   "cmdPlot",      "txtXrot",
            "txtYrot",       "txtZrot",       "txtXtr",        "txtYtr",       "txtZtr",
            "txtSpacexu",    "txtSpaceyv",    "txtSegsxu",     "txtSegsyv",    "txtXorigin",
            "txtYorigin",    "txtZorigin",    "txtDivx",       "txtDivy",      "txtDivz",
            "txtNdots",      "txtGrid",       "txtStereo",     "txtReduce",    "txtXder",
            "txtYder",       "cboConstants",  "chkLines",      "chkDots",      "chkPersist",
            "chkParametric", "optBackclr_0",  "optBackclr_1",  "txtStepWindX", "txtStepWindY",
            "txtStepWindZ",  "txtStepRangXU", "txtStepRangYV", "txtStepRotX",  "txtStepRotY",
            "txtStepRotZ",   "txtStepTranX",  "txtStepTranY",  "txtStepTranZ",
        };
        QStringList chain;
        QWidget* w = control("txtEquationZ");
        while (chain.size() < expected.size()) {
            if (!w->objectName().isEmpty() && w->focusPolicy() & Qt::TabFocus &&
                (window_->control(w->objectName()) == w))
                chain << w->objectName();
            w = w->nextInFocusChain();
            QVERIFY(w != control("txtEquationZ"));
        }
        QCOMPARE(chain, expected);

        // Tab really moves that way, skipping the hidden equation rows.
        QVERIFY(showActive());
        control("txtRangegyv")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdPlot"));
        control("txtEquationZ")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtWindowlx"));
    }

    void altPPlotsFromAField()
    {
        QVERIFY(showActive());
        QVERIFY(!window_->session().renderState().PlotShown);
        QLineEdit* field = qobject_cast<QLineEdit*>(control("txtRangelxu"));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(window_->session().renderState().PlotShown);
        QCOMPARE(window_->session().setup().SpanX, 5.0f);
        QVERIFY(messages_.isEmpty());
    }

    void buttonsAndComboForwardToTheSession()
    {
        QVERIFY(showActive());
        QTest::mouseClick(button("cmdDecWindX"), Qt::LeftButton);
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("-2"));
        QCOMPARE(window_->text(QStringLiteral("txtWindowgx")), QStringLiteral("2"));
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
        QCOMPARE(combo->itemText(0), QStringLiteral("a=2"));
        QCOMPARE(combo->currentText(), QString());
        QCOMPARE(window_->selectedConstant(), -1);

        // Remove acts on the entry chosen from the list only.
        QTest::mouseClick(button("cmdRemCons"), Qt::LeftButton);
        QCOMPARE(combo->count(), 1);
        combo->setCurrentIndex(0);
        QCOMPARE(window_->selectedConstant(), 0);
        QTest::mouseClick(button("cmdRemCons"), Qt::LeftButton);
        QCOMPARE(combo->count(), 0);
    }

    void copyCommandsPutOneViewOnTheClipboard()
    {
        // Copy Left then Right leaves the right view; the copies shrink with the views.
        window_->show();
        for (const auto& [reduce, size] :
             {std::pair{"1", QSize(400, 300)}, {"0.5", QSize(200, 150)}}) {
            window_->setText(QStringLiteral("txtReduce"), QLatin1String(reduce));
            window_->session().press(QStringLiteral("cmdPlot"));
            QVERIFY(window_->session().renderState().PlotShown);
            trigger("mnuCopyLeft");
            QCOMPARE(rgb(QGuiApplication::clipboard()->image()),
                     rgb(window_->session().viewImage(0)));
            trigger("mnuCopyRight");
            const QImage right = QGuiApplication::clipboard()->image();
            QCOMPARE(right.size(), size);
            QCOMPARE(rgb(right), rgb(window_->session().viewImage(1)));
        }
    }

    void fileCommandsAskOnlyWhenTheyShould()
    {
        QStringList asked;
        QString answer = dir_->filePath(QStringLiteral("first.txt"));
        window_->setFileChooser([&](bool save) {
            asked << (save ? QStringLiteral("save") : QStringLiteral("open"));
            return answer;
        });
        trigger("mnuSave"); // no name yet: asks
        QCOMPARE(asked, QStringList{"save"});
        QVERIFY(QFile::exists(answer));
        trigger("mnuSave"); // remembered: does not ask
        QCOMPARE(asked.size(), 1);

        answer = dir_->filePath(QStringLiteral("second.txt"));
        trigger("mnuSaveAs"); // always asks
        QCOMPARE(asked.size(), 2);
        QVERIFY(QFile::exists(answer));
        QCOMPARE(window_->session().setupFileName(), answer);

        // Cancelling changes nothing.
        answer.clear();
        trigger("mnuSaveAs");
        trigger("mnuOpen");
        QCOMPARE(asked, (QStringList{"save", "save", "save", "open"}));
        QCOMPARE(window_->session().setupFileName(), dir_->filePath(QStringLiteral("second.txt")));

        // Open remembers the name even when the file is refused.
        answer = dir_->filePath(QStringLiteral("other.txt"));
        QFile other(answer);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("\"SOMETHING\",0\r\n");
        other.close();
        trigger("mnuOpen");
        QCOMPARE(messages_, QStringList{"Incompatible file"});
        QCOMPARE(window_->session().setupFileName(), answer);
        // Save then asks before it replaces that file: No keeps it, Yes replaces it.
        for (const bool yes : {false, true}) {
            QStringList questions;
            window_->setQuestionSink([&](const QString& question) {
                questions << question;
                return yes;
            });
            trigger("mnuSave");
            QCOMPARE(questions,
                     QStringList{answer + QStringLiteral(" is not a setup file. Replace it?")});
            QVERIFY(other.open(QIODevice::ReadOnly));
            QCOMPARE(other.readLine().startsWith("\"VANTRO\""), yes);
            other.close();
        }

        // A saved setup opens again into the fields.
        answer = dir_->filePath(QStringLiteral("first.txt"));
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("-7"));
        trigger("mnuOpen");
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("-2.5"));
    }

    void printReadsTheSetupFirst_data()
    {
        QTest::addColumn<QString>("windowlx");
        QTest::addColumn<QString>("message");
        QTest::newRow("a field the engine refuses: no dialog")
            << QStringLiteral("2*") << QStringLiteral("Syntax error");
        QTest::newRow("setup read, no printer")
            << QStringLiteral("-2.5") << QStringLiteral("No printer is available.");
    }
    void printReadsTheSetupFirst()
    {
        QFETCH(QString, windowlx);
        QFETCH(QString, message);
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer would open its dialog");
        window_->setText(QStringLiteral("txtWindowlx"), windowlx);
        trigger("mnuPrint");
        QCOMPARE(messages_, QStringList{message});
    }

    void aboutTwiceThenAfreshThenClosedWithTheWindow()
    {
        window_->show();
        window_->showAbout();
        QPointer<frmAbout> about = window_->aboutWindow();
        QVERIFY(about);
        // Three empty lines, the title, then copyright, rights and web address, each after an
        // empty line.
        QCOMPARE(about->printedLines().size(), 10);
        QCOMPARE(about->printedLines().at(3), QStringLiteral("Tavrigon"));
        for (int i : {0, 1, 2, 4, 6, 8})
            QVERIFY(about->printedLines().at(i).isEmpty());
        for (int i : {5, 7, 9})
            QVERIFY(!about->printedLines().at(i).isEmpty());
        QCOMPARE(about->size(), QSize(640, 480));
        QVERIFY(about->windowTitle().trimmed().isEmpty());

        window_->showAbout();
        QCOMPARE(window_->aboutWindow(), about.data());
        QCOMPARE(about->printedLines().size(), 20);
        QCOMPARE(about->printedLines().mid(10), about->printedLines().mid(0, 10));

        // The text is light orange on black.
        QVERIFY(QTest::qWaitForWindowExposed(about.data()));
        const QImage image = about->grab().toImage();
        QVERIFY(countPixels(image, QColor(0, 0, 0), 0) > image.width() * image.height() / 2);
        QVERIFY(countPixels(image, QColor(0xFF, 0xC0, 0x80), 30) > 50);

        QTest::mouseClick(about.data(), Qt::LeftButton, {}, QPoint(300, 200));
        QTRY_VERIFY(!about);
        QVERIFY(window_->isVisible());

        window_->showAbout();
        about = window_->aboutWindow();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->printedLines().size(), 10);

        // Closing the main window closes About with it.
        QVERIFY(window_->close());
        QTRY_VERIFY(!about);
        QVERIFY(!window_->isVisible());
    }

    void helpShowsTheFileOrNamesThePath()
    {
        const QString path = dir_->path() + QStringLiteral("/Vantro.hlp");
        QCOMPARE(window_->session().startDir(), dir_->path());

        window_->showHelp();
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(path), qPrintable(messages_[0]));

        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><h1>Plot</h1><p>Draws the surface.</p></body></html>");
        file.close();
        // The start directory was taken at load: moving elsewhere changes nothing.
        QDir::setCurrent(oldDir_);
        window_->showHelp();
        QCOMPARE(messages_.size(), 1);
        QVERIFY(window_->helpViewer());
        QVERIFY(window_->helpViewer()->browser()->toPlainText().contains(
            QStringLiteral("Draws the surface.")));
    }

    // The help file the program ships names every menu command and the mouse and key actions.
    void shippedHelpNamesEveryCommand()
    {
        const QString path = QFINDTESTDATA("../../Vantro.hlp");
        QVERIFY(!path.isEmpty());
        HelpViewer viewer;
        QString error;
        QVERIFY2(viewer.showFile(path, error), qPrintable(error));
        const QString help = viewer.browser()->toPlainText();
        QStringList wanted = {QStringLiteral("Alt+P"), QStringLiteral("Esc"),
                              QStringLiteral("drag"), QStringLiteral("wheel")};
        for (QAction* a : window_->menuBar()->actions()) {
            wanted << a->text();
            if (a->menu())
                for (QAction* item : a->menu()->actions())
                    if (!item->isSeparator()) wanted << item->text();
        }
        QCOMPARE(wanted.size(), 4 + 4 + 7);
        for (const QString& w : wanted)
            QVERIFY2(help.contains(w), qPrintable(w));
    }

private:
    bool showActive()
    {
        window_->show();
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }
    QAbstractButton* button(const char* name)
    {
        return qobject_cast<QAbstractButton*>(control(name));
    }
    void trigger(const char* name) { window_->findChild<QAction*>(QLatin1String(name))->trigger(); }
    static QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

    QStringList messages_;
    std::unique_ptr<frmVantro> window_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString oldDir_;

    QWidget* control(const char* name) { return window_->control(QLatin1String(name)); }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
