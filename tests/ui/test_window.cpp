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
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

namespace {

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

    // Every control lies wholly inside its frame, and no two controls of one frame overlap;
    // the parametric toggle shows the other rows.
    void layoutAndParametricToggle()
    {
        for (QGroupBox* frame : window_->findChildren<QGroupBox*>()) {
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
        QVERIFY(control("txtEquationX")->isHidden() && !control("FraDer")->isHidden());
        QVERIFY(showActive());
        QTest::mouseClick(button("chkParametric"), Qt::LeftButton);
        QVERIFY(!control("txtEquationX")->isHidden() && control("FraDer")->isHidden());
    }

    void menuAndShortcuts()
    {
        QStringList bar;
        for (QAction* a : window_->menuBar()->actions())
            bar << a->text() + (a->menu() ? QStringLiteral(">") : QString());
        QCOMPARE(bar, (QStringList{"&File>", "Print", "Help", "About"}));
        for (const auto& [name, keys] : {std::pair{"mnuOpen", "Ctrl+O"},
                                         {"mnuSave", "Ctrl+S"},
                                         {"mnuSaveAs", "Ctrl+Shift+S"},
                                         {"mnuPrint", "Ctrl+P"},
                                         {"mnuHelp", "F1"}})
            QCOMPARE(window_->findChild<QAction*>(name)->shortcut().toString(), keys);
        QVERIFY(showActive()); // Ctrl+Q closes the window
        QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window_->isVisible());
    }

    // Tab moves in the order of the form, past the hidden equation rows, and lands on the
    // selected option of a pair.
    void tabOrder()
    {
        QVERIFY(showActive());
        for (int selected : {1, 0}) {
            window_->setOption(QStringLiteral("optBackclr"), selected);
            for (const auto& [from, to] :
                 {std::pair{"txtEquationZ", "txtWindowlx"},
                  {"txtRangegyv", "cmdPlot"},
                  {"txtYder", "cboConstants"},
                  {"chkParametric", selected ? "optBackclr_1" : "optBackclr_0"},
                  {selected ? "optBackclr_1" : "optBackclr_0", "txtStepWindX"}}) {
                control(from)->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), control(to));
            }
        }
    }

    // Alt+P, Enter in an equation, the buttons and the constants box act on the session.
    void keysButtonsAndComboForwardToTheSession()
    {
        QVERIFY(showActive());
        for (const auto& [field, key] :
             {std::pair{"txtRangelxu", Qt::Key_P}, {"txtEquationZ", Qt::Key_Return}}) {
            window_->session().clearViews();
            control(field)->setFocus();
            QTest::keyClick(control(field), key,
                            key == Qt::Key_P ? Qt::AltModifier : Qt::NoModifier);
            QTRY_VERIFY2(window_->session().renderState().PlotShown, field);
        }
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
        combo->setCurrentIndex(0); // Remove acts on the entry chosen from the list
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
        QVERIFY(QFile::remove(answer) && showActive());
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier); // remembered: no dialog
        QVERIFY(QFile::exists(answer));
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
        answer = dir_->filePath(QStringLiteral("other.txt"));
        QFile other(answer);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("\"SOMETHING\",0\r\n");
        other.close();
        trigger("mnuOpen");
        QCOMPARE(messages_, QStringList{"Incompatible file\nIts first item is not the setup "
                                        "file's mark, \"VANTRO\"."});
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
        answer = dir_->filePath(QStringLiteral("sub/first.txt"));
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("-7"));
        trigger("mnuOpen");
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("-2.5"));
        // A file dropped on a field opens, as Open does.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(kExamples + QStringLiteral("/saddle.txt"))});
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control("txtWindowlx"), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control("txtWindowlx"), &drop);
        QCOMPARE(window_->text(QStringLiteral("txtEquationZ")), QStringLiteral("x*x - y*y"));
        trigger("mnuSaveAs");
        QCOMPARE(asked.last(), QStringLiteral("save ") + kExamples);
    }

    // Print reads the setup before its dialog; without a printer the dialog offers a PDF file,
    // written with the views as vectors.
    void printReadsTheSetupFirst()
    {
        int dialogs = 0;
        QPrinter::OutputFormat offered = QPrinter::NativeFormat;
        window_->setPrintChooser([&](QPrinter& printer) {
            ++dialogs;
            offered = printer.outputFormat();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir_->filePath(QStringLiteral("print.pdf")));
            return true;
        });
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("2*")); // no dialog
        trigger("mnuPrint");
        window_->setText(QStringLiteral("txtWindowlx"), QStringLiteral("-2.5"));
        trigger("mnuPrint");
        QCOMPARE(messages_, QStringList{"Syntax error"});
        QCOMPARE(dialogs, 1);
        if (QPrinterInfo::availablePrinterNames().isEmpty()) QCOMPARE(offered, QPrinter::PdfFormat);
        QFile pdf(dir_->filePath(QStringLiteral("print.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF") && !bytes.contains("/Subtype /Image"));
    }

    // After an engine message about a field, the focus is there with the text from the error's
    // position to the end selected.
    void engineMessageFocusesTheField()
    {
        QVERIFY(showActive());
        for (const auto& [field, text, selected] : {std::tuple{"txtStereo", "1 + * 2", "* 2"},
                                                    {"txtDivy", "1/0", ""},
                                                    {"txtEquationZ", "x + sqrtt(y)", "sqrtt(y)"}}) {
            messages_.clear();
            control("txtXrot")->setFocus();
            auto* e = qobject_cast<QLineEdit*>(control(field));
            e->setText(QLatin1String(text));
            window_->session().press(QStringLiteral("cmdPlot"));
            QCOMPARE(messages_.size(), 1);
            QTRY_COMPARE(QApplication::focusWidget(), e);
            QTRY_VERIFY2(e->hasSelectedText() && e->text().endsWith(e->selectedText()), field);
            QVERIFY(!*selected || e->selectedText() == QLatin1String(selected));
            e->setText(QStringLiteral("1"));
        }
    }

    // Enter in an equation field plots; the engine's message, in its real box dismissed with
    // Return, leaves the failing part selected, as Plot's button does.
    void enterThenReturnSelectsTheFailingPart()
    {
        window_->setMessageSink({});
        QVERIFY(showActive());
        auto* e = qobject_cast<QLineEdit*>(control("txtEquationZ"));
        e->setFocus();
        QTRY_VERIFY(e->hasFocus());
        e->setText(QStringLiteral("x + sqrtt(y) + 1"));
        QString shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shown = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        answer.start(20);
        QTest::keyClick(e, Qt::Key_Return);
        answer.stop();
        QCOMPARE(shown, QStringLiteral("Type mismatch: 'sqrtt'\ndid you mean Sqrt?"));
        QTRY_VERIFY(e->hasFocus());
        QTRY_COMPARE(e->selectedText(), QStringLiteral("sqrtt(y) + 1"));
    }

    // A failing constant's message names it; a leading minus on a power gets a passing note
    // beside its field, once per text, and the plot draws.
    void constantNamedAndMinusNoted()
    {
        QVERIFY(showActive());
        window_->setText(QStringLiteral("cboConstants"), QStringLiteral("k=)"));
        window_->session().press(QStringLiteral("cmdAddCons"));
        window_->session().press(QStringLiteral("cmdPlot"));
        QCOMPARE(messages_, QStringList{"Syntax error\nIn the user constant k=)\nthe ) at "
                                        "character 3 has no ( before it"});
        window_->session().removeConstant(0);
        messages_.clear();
        window_->setText(QStringLiteral("txtEquationZ"), QStringLiteral("exp(-x^2-y^2)"));
        for (const bool first : {true, false}) {
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
            window_->session().press(QStringLiteral("cmdPlot"));
            QVERIFY(messages_.isEmpty() && window_->session().renderState().PlotShown);
            QTest::qWait(50);
            QCOMPARE(QToolTip::isVisible(), first);
            QVERIFY(!first || QToolTip::text() == "-x^2 means (-x)^2 here; write -(x^2)");
        }
    }

    void aboutTwiceThenAfreshThenClosedWithTheWindow()
    {
        window_->show();
        window_->showAbout();
        QPointer<frmAbout> about = window_->aboutWindow();
        QCOMPARE(about->printedLines().at(3), QStringLiteral("Tavrigon"));
        window_->showAbout();
        QVERIFY(window_->aboutWindow() == about.data() && about->printedLines().size() == 20);
        QVERIFY(countPixels(about->grab().toImage(), QColor(0xFF, 0xC0, 0x80), 30) > 50);
        QTest::mouseClick(about.data(), Qt::LeftButton, {}, QPoint(300, 200));
        QTRY_VERIFY(!about);
        window_->showAbout();
        about = window_->aboutWindow();
        QVERIFY(window_->close());
        QTRY_VERIFY(!about);
    }

    // F1 shows the start directory's file first; without one, the shipped file is found beside
    // the program or in the data folder, or the message names the start directory's path.
    void helpFromTheStartDirectoryFirst()
    {
        QVERIFY(showActive());
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QVERIFY(messages_.isEmpty() || messages_[0].contains(dir_->filePath("Vantro.hlp")));
        QFile file(dir_->filePath(QStringLiteral("Vantro.hlp")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<p>Draws the surface.</p>") > 0);
        file.close();
        QDir::setCurrent(oldDir_); // taken at load: moving elsewhere changes nothing
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QVERIFY(window_->helpViewer()->browser()->toPlainText().contains(
            QStringLiteral("Draws the surface.")));

        // The shipped help names every menu command and every key.
        HelpViewer viewer;
        QString error;
        QVERIFY2(viewer.showFile(QStringLiteral(TAVRIGON_SOURCE_DIR "/Vantro.hlp"), error),
                 qPrintable(error));
        const QString help = viewer.browser()->toPlainText();
        QStringList wanted = {"Alt+P",       "Enter",
                              "Esc",         "drag",
                              "wheel",       "Alt+F",
                              "Ctrl+Q",      "Sqr",
                              "Atn",         "natural logarithm",
                              "Atanh",       "(-x)^2",
                              "-1",          "exp(-(x^2)-(y^2))",
                              "Atan2(y, x)", "did you mean Sin?"};
        for (QAction* a : window_->findChildren<QAction*>()) {
            if (a->isSeparator() || a->objectName() == QLatin1String("actQuit")) continue;
            wanted << a->text().remove(QLatin1Char('&'));
            if (!a->shortcut().isEmpty()) wanted << a->shortcut().toString();
        }
        for (const QString& w : std::as_const(wanted))
            QVERIFY2(help.contains(w), qPrintable(w));
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
