#pragma once

#include "session/SessionHost.h"
#include "setup/FormFields.h"
#include "ui/FileDialogs.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class FocusGuard;
class HelpViewer;
class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class PlotProgress;
class SetupDrop;
class StereoViewer;
class Session;
class ViewInteraction;
class ViewWidget;
class frmAbout;

// The main window: the controls of every plot parameter over the two views, the menu bar, and
// the handlers that forward to the session it owns. It is the session's FormFields (its widgets
// addressed by control name) and its SessionHost (message boxes, pointer, beep, repaints).
class frmVantro : public QMainWindow, public FormFields, public SessionHost
{
    Q_OBJECT
public:
    // Builds the controls and runs the load event (Session::load with the current directory).
    explicit frmVantro(QWidget* parent = nullptr);
    ~frmVantro() override;

    Session& session() { return *session_; }
    ViewWidget* view(int index) const { return views_[index]; }
    QWidget* control(const QString& name) const { return controls_.value(name); }
    frmAbout* aboutWindow() const;
    HelpViewer* helpViewer() const;
    StereoViewer* stereoViewer() const;

    // Where showMessage goes; by default a message box. The tests record instead.
    using MessageSink = std::function<void(const QString& text, const QString& caption)>;
    void setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    // Where ask() goes; by default a Yes/No message box. The tests answer instead.
    using QuestionSink = std::function<bool(const QString& question)>;
    void setQuestionSink(QuestionSink sink) { questionSink_ = std::move(sink); }

    // The dialogs of the menu commands; by default the standard file dialogs.
    void setFileChooser(FileDialogs::Chooser chooser) { dialogs_.setChooser(std::move(chooser)); }
    void setPrintChooser(FileDialogs::PrintChooser chooser)
    {
        dialogs_.setPrintChooser(std::move(chooser));
    }
    void setImageChooser(FileDialogs::ImageChooser chooser,
                         FileDialogs::OptionsChooser options = {})
    {
        dialogs_.setImageChooser(std::move(chooser), std::move(options));
    }

    // The bar that shows the progress of a long plot (a child of the right view).
    PlotProgress* plotProgress() const { return progress_; }

    // Opens a setup file as Open does once the name is chosen (also for a file given at start
    // or dropped on the window).
    void openSetupFile(const QString& path);

    // Menu commands.
    void openSetup();
    void saveSetup();
    void saveSetupAs();
    void copyView(int index);
    void copyAnaglyph();
    void saveImage();
    void printSetup();
    void showHelp();
    void showAbout();
    void openStereoViewer();

    // FormFields
    QString text(const QString& control) const override;
    void setText(const QString& control, const QString& text) override;
    bool isChecked(const QString& control) const override;
    void setChecked(const QString& control, bool checked) override;
    int option(const QString& group) const override;
    void setOption(const QString& group, int index) override;
    QString caption(const QString& control) const override;
    void setCaption(const QString& control, const QString& caption) override;
    QString toolTip(const QString& control) const override;
    void setToolTip(const QString& control, const QString& toolTip) override;
    bool isShown(const QString& control) const override;
    void setShown(const QString& control, bool shown) override;

    // SessionHost
    void showMessage(const QString& text, const QString& caption) override;
    void report(const Message& message) override;
    void note(const Message& message) override;
    void processEvents() override;
    void beep() override;
    void setBusy(bool busy) override;
    void viewsChanged() override;
    void constantsChanged() override;
    bool ask(const QString& question, const QString& caption) override;

    // "MS Sans Serif" at the given size.
    static QFont uiFont(qreal points, bool bold);

    // The index of the list entry the combo box shows, or -1 when its text is no entry.
    int selectedConstant() const;

    // Esc while a plot runs stops it, whatever has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(QWidget* client);
    void buildMenu();
    void buildTabOrder();
    void attachFocusChecks();
    void applyStyle(QWidget* client);

    QGroupBox* frame(QWidget* parent, const QString& name, const QString& title, int x, int y,
                     int w, int h);
    QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y, int w,
                  int h, const QString& tip = {});
    QLineEdit* field(QWidget* parent, const QString& name, int x, int y, int w, int h,
                     const QString& tip = {});
    QPushButton* button(QWidget* parent, const QString& name, const QString& caption,
                        const QString& tip, int x, int y, int w, int h);
    void check(QWidget* parent, const QString& name, const QString& caption, const QString& tip,
               int x, int y, int w, int h);
    void optionButton(QWidget* parent, const QString& group, int index, const QString& caption,
                      int x, int y, int w, int h);
    void stepRow(QWidget* parent, const QString& decButton, const QString& incButton,
                 const QString& stepField, int x, int y);
    void registerControl(QWidget* widget, const QString& name);

    void buttonClicked(const QString& name);

    QHash<QString, QWidget*> controls_;
    std::unique_ptr<Session> session_;
    ViewWidget* views_[2] = {nullptr, nullptr};
    QComboBox* constants_ = nullptr;
    FocusGuard* focusGuard_ = nullptr;
    ViewInteraction* interaction_ = nullptr;
    PlotProgress* progress_ = nullptr;
    QPointer<frmAbout> about_;
    QPointer<HelpViewer> help_;
    QPointer<StereoViewer> viewer_;
    MessageSink messageSink_;
    QuestionSink questionSink_;
    FileDialogs dialogs_;
    SetupDrop* drop_ = nullptr;
    int busyDepth_ = 0;
};
