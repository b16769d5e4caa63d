#include "app/Session.h"
#include "ui/frmVantro.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

// The focus behaviour of the fields, driven as a user would: keys to the focused field,
// clicks through the window system (so that the window sees them before any focus change).
class TestFocus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        messages_.clear();
        window_ = std::make_unique<frmVantro>();
        window_->setMessageSink([this](const QString& text, const QString&) { messages_ << text; });
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void refusedFieldKeepsFocus_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("mayLeave");
        QTest::addColumn<int>("messages"); // the engine's, one per attempt to leave
        auto row = [](const char* tag, const char* name, const char* text, bool ok,
                      int messages = 0) {
            QTest::newRow(tag) << QString::fromLatin1(name) << QString::fromLatin1(text) << ok
                               << messages;
        };
        row("spacings 2.5", "txtSpacexu", "2.5", false);
        row("segments 7 and letters", "txtSegsyv", "7abc", true);
        row("reduce formula", "txtReduce", "1/4", true);
        row("order 3", "txtXder", "3", false);
        row("unchecked stereo", "txtStereo", "nonsense", true);
        // An engine error shows its message, then refuses; a point failure refuses silently.
        row("divisions syntax error", "txtDivy", "(1", false, 2);
        row("divisions by zero, no message", "txtDivx", "1/0", false);
    }
    void refusedFieldKeepsFocus()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, mayLeave);
        QFETCH(int, messages);
        QLineEdit* f = field(name);
        focus(f);
        f->setText(text);
        QTest::keyClick(f, Qt::Key_Tab);
        QApplication::processEvents();
        QCOMPARE(QApplication::focusWidget() == f, !mayLeave);
        QCOMPARE(f->text(), text); // left as typed
        if (!mayLeave) {
            QTest::keyClick(f, Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget(), f);
        }
        QCOMPARE(int(messages_.size()), messages);
    }

    void refusingFieldHoldsBackClicksAndAltPButNotMenus()
    {
        QLineEdit* dots = field(QStringLiteral("txtNdots"));
        focus(dots);
        dots->setText(QStringLiteral("0"));

        click(window_->control(QStringLiteral("cmdPlot")));
        QApplication::processEvents();
        QVERIFY(!window_->session().renderState().PlotShown);
        QCOMPARE(QApplication::focusWidget(), dots);

        // Nor does Alt+P or a step button; a click on a label does not matter.
        QTest::keyClick(dots, Qt::Key_P, Qt::AltModifier);
        QTest::qWait(250);
        QVERIFY(!window_->session().renderState().PlotShown);
        click(window_->control(QStringLiteral("cmdIncWindX")));
        QCOMPARE(window_->text(QStringLiteral("txtWindowlx")), QStringLiteral("-2.5"));
        click(window_->control(QStringLiteral("lblGrid")));
        QCOMPARE(QApplication::focusWidget(), dots);

        // The menu's Save does save.
        const QString path = dir_.filePath(QStringLiteral("held.txt"));
        window_->setFileChooser([&](bool save, const QString&) { return save ? path : QString(); });
        window_->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readLine().startsWith("\"VANTRO\""));
        QCOMPARE(QApplication::focusWidget(), dots);

        // Mended, the click goes through.
        dots->setText(QStringLiteral("100"));
        click(window_->control(QStringLiteral("cmdPlot")));
        QTRY_VERIFY(window_->session().renderState().PlotShown);
        QCOMPARE(window_->session().setup().Ndots, 100);
    }

    // The engine's own message box, shown from inside the check of a click on Plot: once closed,
    // the click is refused and the focus is still in the field.
    void engineMessageBoxThenRefusal()
    {
        window_->setMessageSink({});
        QLineEdit* reduce = field(QStringLiteral("txtReduce"));
        focus(reduce);
        reduce->setText(QStringLiteral("0.5*"));
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->accept();
            }
        });
        closer.start(10);
        click(window_->control(QStringLiteral("cmdPlot")));
        QTest::qWait(150);
        closer.stop();
        QCOMPARE(shown.size(), 1);
        QVERIFY(!shown[0].isEmpty());
        QVERIFY(!window_->session().renderState().PlotShown);
        QCOMPARE(window_->focusWidget(), reduce); // the window takes it up again when reactivated
        QCOMPARE(reduce->text(), QStringLiteral("0.5*"));
    }

    void limitPairSendsFocusToPartner_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lowerText");
        QTest::addColumn<QString>("upperText");
        QTest::addColumn<bool>("leaveLower");
        QTest::addColumn<bool>("toPartner");
        auto row = [](const char* tag, const char* lower, const char* upper, const char* lowerText,
                      const char* upperText, bool leaveLower, bool toPartner) {
            QTest::newRow(tag) << QString::fromLatin1(lower) << QString::fromLatin1(upper)
                               << QString::fromLatin1(lowerText) << QString::fromLatin1(upperText)
                               << leaveLower << toPartner;
        };
        row("window x reversed, leaving lower", "txtWindowlx", "txtWindowgx", "3", "2.5", true,
            true);
        row("window y as formulas", "txtWindowly", "txtWindowgy", "pi", "3", false, true);
        row("window z in order", "txtWindowlz", "txtWindowgz", "-1", "1", false, false);
        row("domain equal is fine", "txtRangelxu", "txtRangegxu", "2", "2", true, false);
    }
    void limitPairSendsFocusToPartner()
    {
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QString, lowerText);
        QFETCH(QString, upperText);
        QFETCH(bool, leaveLower);
        QFETCH(bool, toPartner);
        field(lower)->setText(lowerText);
        field(upper)->setText(upperText);
        QLineEdit* from = field(leaveLower ? lower : upper);
        QLineEdit* partner = field(leaveLower ? upper : lower);
        QLineEdit* elsewhere = field(QStringLiteral("txtXrot"));

        focus(from);
        click(elsewhere);
        QLineEdit* expected = toPartner ? partner : elsewhere;
        QTRY_COMPARE(QApplication::focusWidget(), expected);
        QTest::qWait(20);
        QCOMPARE(QApplication::focusWidget(), expected);
        QTRY_COMPARE(expected->selectedText(), expected->text());
        // The field clicked, left at once for the partner, is drawn without a selection.
        QVERIFY(expected == elsewhere || !elsewhere->hasSelectedText());
        QCOMPARE(messages_, QStringList());
    }

    void derivativeSumSendsFocusToPartner()
    {
        QLineEdit* x = field(QStringLiteral("txtXder"));
        QLineEdit* y = field(QStringLiteral("txtYder"));
        x->setText(QStringLiteral("2"));
        y->setText(QStringLiteral("1"));
        focus(y);
        QTest::keyClick(y, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), x);
        click(window_->control(QStringLiteral("txtNdots")));
        QTRY_COMPARE(QApplication::focusWidget(), y);
        // Mended: the focus goes where it was sent.
        y->setText(QStringLiteral("0"));
        QTest::keyClick(y, Qt::Key_Tab);
        QApplication::processEvents();
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cboConstants"));
    }

    void entrySelectsAll_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("byClick");
        auto row = [](const char* tag, const char* from, const char* to, bool byClick) {
            QTest::newRow(tag) << QString::fromLatin1(from) << QString::fromLatin1(to) << byClick;
        };
        row("tab into window limit", "txtWindowlx", "txtWindowgx", false);
        row("click into step field", "txtXrot", "txtStepTranZ", true);
        // No field before: the first in the tab order as the window opens.
        row("window opens", "", "txtEquationZ", false);
    }
    void entrySelectsAll()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, byClick);
        QLineEdit* target = field(to);
        if (!from.isEmpty()) {
            focus(field(from));
            if (byClick)
                click(target);
            else
                QTest::keyClick(field(from), Qt::Key_Tab);
        }
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTRY_COMPARE(target->selectedText(), target->text());
        QVERIFY(!target->text().isEmpty());
        // The first key typed replaces the old value.
        QTest::keyClick(target, Qt::Key_7);
        QCOMPARE(target->text(), QStringLiteral("7"));
    }

private:
    QLineEdit* field(const QString& name)
    {
        return qobject_cast<QLineEdit*>(window_->control(name));
    }
    void focus(QWidget* w)
    {
        w->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w);
    }
    // A click at the centre of a control, delivered to the window as the window system would.
    void click(QWidget* w)
    {
        const QPoint pos = w->mapTo(window_.get(), w->rect().center());
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, pos);
    }

    std::unique_ptr<frmVantro> window_;
    QStringList messages_;
    QTemporaryDir dir_;
};

QTEST_MAIN(TestFocus)
#include "test_focus.moc"
