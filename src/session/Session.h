#pragma once

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "render/DrawHost.h"
#include "render/RenderState.h"
#include "setup/PlotSetup.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class DrawingSurface;
class FormFields;
class ImageSurface;
class PlotDriver;
class QPagedPaintDevice;
class SessionHost;
class SurfaceEvaluator;
class UniformRandom;
class UserConstants;

// The run-wide state that the main window owns, and the commands that act on it. The window
// and the command line both drive this one object, so both give identical results.
class Session
{
public:
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
    // Esc: the running plot, and a drawing of drawCurrentPlot, stop where they are.
    void cancelPlot();
    // The share of the running (or last) plot's surface drawn so far, 0 to 1; during
    // drawCurrentPlot, the share of that drawing.
    double plotProgress() const;
    // Whether the plot shown drew a point of its surface inside the window.
    bool surfaceInWindow() const;
    // A plot of more sample points than `limit` (mesh points and dots; 0: no limit) is refused
    // with a message that ends with `howToRaise`.
    void setSampleLimit(double limit, const QString& howToRaise);

    // Draws the plot shown onto a caller's pair of views, at their size (the user scale maps
    // the setup's window onto them), with the same random dots as the window's views. The
    // drawing asks `host` (none when null) for its events; a Plot asked for meanwhile stops
    // it and runs as soon as it has returned. Without a plot shown the views are only
    // cleared. False when nothing was drawn, or the drawing did not run to its end.
    // `labels` adds the axis letters and tick values, `look` the surface's look (hidden
    // lines, solid, colour, projection). The plot is the last Plot's: the setup it read, with
    // the constants it registered; no engine message is shown again.
    bool drawCurrentPlot(std::array<DrawingSurface*, 2> views, DrawHost* host = nullptr,
                         bool labels = false, const SurfaceLook& look = {});

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

    // The printed report's text lines, and the whole printed document with the views drawn
    // as vectors (drawCaptured), labelled when asked.
    bool reportLines(QStringList& lines);
    bool printDocument(QPagedPaintDevice& device, bool labels = false,
                       const SurfaceLook& look = {});
    // The printed document as a PDF file, through the safe write; an invalid layout keeps the
    // writer's own. False after a message was shown.
    bool writePdf(const QString& path, const QPageLayout& layout = QPageLayout(),
                  bool labels = false, const SurfaceLook& look = {});

    // drawCurrentPlot without events on a caller's pair of surfaces given the screen views'
    // geometry: the surfaces' own pixel scale or vector nature sets the size. The screen views
    // are untouched.
    bool drawCaptured(DrawingSurface& left, DrawingSurface& right, bool labels = false,
                      const SurfaceLook& look = {});
    // Both views so drawn as images at `scale` image pixels per window pixel (1 to 16); null
    // images when there is no plot to draw.
    std::array<QImage, 2> capturedImages(double scale, bool labels = false,
                                         const SurfaceLook& look = {});
    // Views so drawn as one SVG document, side by side in the order given (0 left, 1 right),
    // shown `scale` times their pixel size; empty when there is no plot to draw.
    QByteArray capturedSvg(const QList<int>& order, double scale, bool labels = false,
                           const SurfaceLook& look = {});

    // Clears both views (also when the user constants change).
    void clearViews();

    DrawingSurface& view(int index);
    QImage viewImage(int index) const;

    ScriptEngine& engine() { return engine_; }
    Class1& class1() { return class1_; }
    PlotSetup& setup() { return setup_; }
    RenderState& renderState() { return render_; }
    FormFields& fields() { return fields_; }
    SessionHost& host() { return host_; }
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
    std::unique_ptr<UniformRandom> plotRandom_; // the generator as the plot shown began
    float halfpi_ = 0;
    std::unique_ptr<SurfaceEvaluator> evaluator_;
    std::unique_ptr<PlotDriver> driver_;
    PlotDriver* current_ = nullptr; // the driver of a running drawCurrentPlot
    QString startDir_;
    QString setupFileName_;
    bool plotting_ = false;
    bool plotPending_ = false;
    double sampleLimit_ = 0;
    QString howToRaise_;
    bool quiet_ = false;  // engine messages are not shown (a captured plot drawn again)
    QSet<QString> noted_; // the formula texts that had their note
    PlotSetup plotted_;   // the last Plot's setup
};
