#pragma once

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "render/CapturedPlot.h"
#include "render/DrawHost.h"
#include "render/RenderState.h"
#include "setup/PlotSetup.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class DrawingSurface;
class FormFields;
class ImageSurface;
class PlotDriver;
class SessionHost;
class SurfaceEvaluator;
struct SurfaceGrid;
class UniformRandom;
class UserConstants;

// The run-wide state that the main window owns, and the commands that act on it. The window
// and the command line both drive this one object, so both give identical results.
class Session
{
public:
    // The window views' design size, before the reduction factor.
    static constexpr QSize DesignSize{400, 300};

    Session(FormFields& fields, SessionHost& host);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The main window's load event: start directory, design geometry of the views, Class1
    // added to the engine with its start statements, the difference constants, the random
    // generator seeded from the clock.
    void load(const QString& startDir);
    // Seeds the random generator anew: the same seed draws the same dots.
    void seedRandom(quint32 seed);

    // Plot (a click of cmdPlot). A Plot asked for while one runs starts when it has ended.
    void plot();
    bool isPlotting() const { return plotting_; }
    // Esc: the running plot, and a drawing of drawCaptured, stop where they are.
    void cancelPlot();
    // The share of the running (or last) plot's surface drawn so far, 0 to 1; during
    // drawCaptured, the share of that drawing.
    double plotProgress() const;
    // Whether the plot shown drew a point of its surface inside the window.
    bool surfaceInWindow() const;
    // A plot of more sample points than `limit` (mesh points and dots; 0: no limit) is refused
    // with a message that ends with `howToRaise`.
    void setSampleLimit(double limit, const QString& howToRaise);

    // The plot shown, as a value every output draws from: empty when no plot is shown, while
    // a Plot runs and while a drawing of drawCaptured runs.
    CapturedPlot capturedPlot() const;
    // The engine, Class1 and evaluator a captured plot is drawn with.
    CapturedPlot::Tools plotTools();
    // Draws `plot` with `options` onto a caller's pair of views at their size, asking `host`
    // (none when null) for its events. cancelPlot() stops it and plotProgress() follows it; a
    // Plot asked for meanwhile stops it and runs as soon as it has returned. False when
    // nothing was drawn, or the drawing did not run to its end.
    bool drawCaptured(const CapturedPlot& captured, std::array<DrawingSurface*, 2> views,
                      const DrawOptions& options, DrawHost* host = nullptr);

    // Clicks a button by its control name (cmdPlot, the step, zoom and pan buttons,
    // cmdAddCons, cmdRemCons). False for a name that is no such button.
    bool press(const QString& control);

    // User constants.
    enum class AddResult
    {
        Added,
        Refused,
        ListFull
    };
    AddResult addConstant(); // the text of cboConstants
    void removeConstant(int index);
    void constantsTextEdited(); // the combo box's text changed: the views are cleared
    // Runs every constant's statement, as a Plot does before it draws: 0 or the first failure.
    qint32 registerConstants();
    const QStringList& constantList() const;
    // The value of the user constant `name` as the engine computes it after the constants
    // above it, without messages: false when there is no such constant or its value is no
    // finite number.
    bool constantValue(const QString& name, double& value);
    // Steps the user constant `name` by ConstantStep of its value (by ConstantStep from 0),
    // down for a negative `direction`, and writes the number back in its place in the list;
    // false, changing nothing, where constantValue fails. The new value in `value`.
    static constexpr double ConstantStep = 0.1;
    bool stepConstant(const QString& name, int direction, double& value);

    // The parametric toggle: brings captions, tool tips and visibility in line with the box.
    void applyParametricLayout();

    // The evaluation the validation and the limit pairs use: 0 or the error number. The
    // engine's messages are about `subject`.
    qint32 evaluateField(const QString& text, double& value, const Subject& subject = Subject());

    // The notes of a Plot, once per formula text: an equation shown whose leading minus is
    // applied to a power (-x^2 is (-x)^2 in this language) gets one through the host.
    void noteEquations();

    // Setup files; false after a message was shown.
    bool openSetup(const QString& path);
    bool saveSetup(const QString& path);
    // Save to the remembered name without a dialog: a file there that is not a setup file is
    // replaced only when the host's question is answered Yes.
    bool saveAgain();
    const QString& setupFileName() const { return setupFileName_; }
    void setSetupFileName(const QString& name) { setupFileName_ = name; }

    // The printed report's text lines, from the fields as they are.
    bool reportLines(QStringList& lines);

    // Evaluations are not replayed after this: the engine's variables were changed directly.
    void forgetSamples();
    // Whether a Plot keeps its evaluated samples for the drawings after it (turns, exports):
    // by default; a batch run whose outputs all take the plot's own drawing keeps none.
    void keepSamples(bool keep) { keepSamples_ = keep; }

    // The plot shown's surface sampled on the grid of its finest mesh lines, from the setup
    // and constants it was drawn with, without engine messages; false with `error`.
    bool sampleSurface(SurfaceGrid& grid, QString& error);

    // Clears both views (also when the user constants change).
    void clearViews();

    DrawingSurface& view(int index);
    QImage viewImage(int index) const;
    // Image pixels per window pixel of both views (1 in the window; a batch run draws them at
    // the scale of its outputs). Erases them.
    void setViewScale(double scale);
    double viewScale() const;

    ScriptEngine& engine() { return engine_; }
    PlotSetup& setup() { return setup_; }
    RenderState& renderState() { return render_; }
    FormFields& fields() { return fields_; }
    const QString& startDir() const { return startDir_; }

private:
    void runPlot();
    void onEngineError(const ScriptError& error);
    bool readSetupOrReport(PlotSetup& target);
    void redrawIntoImages();

    // The drawing's requests, passed on to the host.
    class DrawAdapter final : public DrawHost
    {
    public:
        explicit DrawAdapter(SessionHost& host) : host_(host) {}
        void runEvents() override;
        void repaint() override;
        void drawingEnded() override;

    private:
        SessionHost& host_;
    };

    FormFields& fields_;
    SessionHost& host_;
    DrawAdapter drawHost_;
    Class1 class1_;
    ScriptEngine engine_;
    PlotSetup setup_;
    RenderState render_;
    std::array<std::unique_ptr<ImageSurface>, 2> pic_;
    std::unique_ptr<UserConstants> constants_;
    std::unique_ptr<UniformRandom> random_;
    float halfpi_ = 0;
    std::unique_ptr<SurfaceEvaluator> evaluator_;
    std::unique_ptr<PlotDriver> driver_;
    PlotDriver* current_ = nullptr; // the driver of a running drawCaptured
    QString startDir_;
    QString setupFileName_;
    bool plotting_ = false;
    bool plotPending_ = false;
    CapturedPlot captured_; // the last Plot's
    std::shared_ptr<SampleCache> samples_;
    bool keepSamples_ = true;
    double sampleLimit_ = 0;
    QString howToRaise_;
    QSet<QString> noted_; // the formula texts that had their note
};
