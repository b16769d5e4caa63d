#include "session/Session.h"

#include "eval/SurfaceEvaluator.h"
#include "eval/UserConstants.h"
#include "output/ReportText.h"
#include "output/SafeWrite.h"
#include "output/SetupFile.h"
#include "output/SurfaceGrid.h"
#include "render/ImageSurface.h"
#include "render/PlotDriver.h"
#include "render/SampleCache.h"
#include "render/UniformRandom.h"
#include "session/SessionHost.h"
#include "setup/FormFields.h"
#include "setup/NumberText.h"
#include "setup/ParametricToggle.h"
#include "setup/PlotSetupReader.h"
#include "setup/StepButtons.h"
#include "setup/ZoomPan.h"

#include <cmath>

namespace {
const QString kConstantsBox = QStringLiteral("cboConstants");
} // namespace

Session::Session(FormFields& fields, SessionHost& host)
    : fields_(fields), host_(host), drawHost_(host), constants_(std::make_unique<UserConstants>()),
      random_(std::make_unique<UniformRandom>())
{
    // The views at their design geometry: 400 x 300 pixels, the right one overlapping by one.
    pic_[0] = std::make_unique<ImageSurface>();
    pic_[1] = std::make_unique<ImageSurface>();
    pic_[0]->setGeometry(0, DesignSize.width(), DesignSize.height());
    pic_[1]->setGeometry(DesignSize.width() - 1, DesignSize.width(), DesignSize.height());
    engine_.setErrorHandler([this](const ScriptError& error) { onEngineError(error); });
}

Session::~Session() = default;

void Session::load(const QString& startDir)
{
    startDir_ = startDir;
    render_.PicLeft0 = pic_[0]->left();
    render_.PicWidth0 = pic_[0]->width();
    render_.PicHeight0 = pic_[0]->height();
    render_.PicHeight1 = pic_[1]->height();
    engine_.addObject(QStringLiteral("sh"), &class1_, true);
    halfpi_ = float(2.0 * std::atan(1.0));
    engine_.executeStatement(QStringLiteral("halfpi = Atn(1) * 2"));
    engine_.executeStatement(QStringLiteral("pi = Atn(1) * 4"));
    engine_.executeStatement(QStringLiteral("e = Exp(1)"));
    random_->seedFromClock();
    samples_ = std::make_shared<SampleCache>();
    evaluator_ = std::make_unique<SurfaceEvaluator>(engine_, class1_);
    driver_ =
        std::make_unique<PlotDriver>(std::array<DrawingSurface*, 2>{pic_[0].get(), pic_[1].get()},
                                     *evaluator_, class1_, *random_, drawHost_, halfpi_);
}

void Session::DrawAdapter::runEvents()
{
    host_.processEvents();
}

void Session::DrawAdapter::repaint()
{
    host_.viewsChanged();
}

void Session::DrawAdapter::drawingEnded()
{
    host_.setBusy(false);
}

void Session::seedRandom(quint32 seed)
{
    random_->seed(seed);
}

void Session::onEngineError(const ScriptError& error)
{
    if (!ErrorNumbers::isPointFailure(error.number)) host_.report(Message::fromError(error));
}

void Session::plot()
{
    if (!driver_) return; // before the load event there is nothing to plot with
    if (current_) {
        // The other drawing shares the evaluator: it stops, and this plot runs after it.
        plotPending_ = true;
        current_->requestCancel();
        return;
    }
    if (plotting_) {
        // A Plot asked for while one runs supersedes it: the running one stops where it is
        // and the new one starts as soon as it has returned.
        plotPending_ = true;
        driver_->requestCancel();
        return;
    }
    plotting_ = true;
    do {
        plotPending_ = false;
        runPlot();
    } while (plotPending_);
    plotting_ = false;
}

bool Session::surfaceInWindow() const
{
    return driver_ && driver_->surfaceInWindow();
}

void Session::setSampleLimit(double limit, const QString& howToRaise)
{
    sampleLimit_ = limit;
    howToRaise_ = howToRaise;
}

void Session::cancelPlot()
{
    if (plotting_ && driver_) driver_->requestCancel();
    if (current_) current_->requestCancel();
}

double Session::plotProgress() const
{
    if (current_) return current_->progress();
    return driver_ ? driver_->progress() : 0.0;
}

CapturedPlot Session::capturedPlot() const
{
    if (!render_.PlotShown || plotting_ || current_) return {};
    return captured_;
}

CapturedPlot::Tools Session::plotTools()
{
    return {engine_, *evaluator_, class1_, halfpi_};
}

bool Session::drawCaptured(const CapturedPlot& captured, std::array<DrawingSurface*, 2> views,
                           const DrawOptions& options, DrawHost* host)
{
    if (!driver_ || plotting_ || current_) return false;
    NullDrawHost none;
    const bool done = captured.draw(views, plotTools(), options, host ? *host : none,
                                    [this](PlotDriver* running) { current_ = running; });
    current_ = nullptr;
    if (plotPending_) plot();
    return done;
}

void Session::runPlot()
{
    host_.setBusy(true);
    driver_->ClearViews();
    render_.PlotShown = true;
    Message message;
    bool read = ReadPlotSetup(setup_, fields_, engine_, message, &class1_);
    if (const double samples = PlotDriver::plannedSamples(setup_);
        read && sampleLimit_ > 0 && samples > sampleLimit_) {
        read = false;
        message = Message::about(Subject(),
                                 QStringLiteral("The plot has %1 sample points, more than the %2 "
                                                "allowed; %3")
                                     .arg(samples, 0, 'f', 0)
                                     .arg(sampleLimit_, 0, 'f', 0)
                                     .arg(howToRaise_));
    }
    if (!read) {
        render_.PlotShown = false;
        if (!message.text.isEmpty()) host_.report(message);
        host_.viewsChanged();
        host_.setBusy(false);
        return;
    }
    registerConstants();
    noteEquations();
    driver_->prepareViews(setup_, render_);
    captured_.setup = setup_;
    captured_.constants = constants_->list();
    captured_.samples = keepSamples_ ? samples_ : nullptr;
    driver_->setSampleCache(captured_.samples.get(), captured_.constants);
    for (int i = 0; i < 2; ++i)
        captured_.views[i] = QRect(pic_[i]->left(), 0, pic_[i]->width(), pic_[i]->height());
    host_.viewsChanged();
    host_.processEvents();
    captured_.random = *random_;
    if (!driver_->cancelRequested()) driver_->DrawPlot(setup_);
    host_.viewsChanged();
    host_.setBusy(false);
    // A plot superseded by a newer request (a drag) ends silently; the last one beeps.
    if (!plotPending_) host_.beep();
}

bool Session::press(const QString& control)
{
    if (control == QLatin1String("cmdPlot")) {
        plot();
        return true;
    }
    if (control == QLatin1String("cmdAddCons")) {
        addConstant();
        return true;
    }
    if (control == QLatin1String("cmdRemCons")) {
        // The entry shown in the box is the selected one.
        const qsizetype index = constantList().indexOf(fields_.text(kConstantsBox));
        if (index >= 0) removeConstant(int(index));
        return true;
    }
    if (StepButtons::press(control, fields_)) return true;
    const int code = ZoomPanCode(control);
    if (code >= 0) {
        QString error;
        if (!ZoomPan(code, fields_, error, &setup_)) {
            host_.showMessage(error, QString());
            return true;
        }
        plot();
        return true;
    }
    return false;
}

Session::AddResult Session::addConstant()
{
    switch (constants_->add(fields_.text(kConstantsBox))) {
    case UserConstants::AddResult::Refused:
        return AddResult::Refused;
    case UserConstants::AddResult::ListFull:
        host_.showMessage(QStringLiteral("The list of user constants is full (%1 entries): remove "
                                         "one before adding another.")
                              .arg(UserConstants::Capacity),
                          QString());
        return AddResult::ListFull;
    case UserConstants::AddResult::Added:
        break;
    }
    host_.constantsChanged();
    fields_.setText(kConstantsBox, QString());
    clearViews();
    return AddResult::Added;
}

void Session::removeConstant(int index)
{
    if (index < 0 || index >= constants_->count()) return;
    constants_->remove(index, engine_);
    host_.constantsChanged();
}

void Session::constantsTextEdited()
{
    clearViews();
}

qint32 Session::registerConstants()
{
    return constants_->registerAll(engine_);
}

const QStringList& Session::constantList() const
{
    return constants_->list();
}

bool Session::constantValue(const QString& name, double& value)
{
    const int index = UserConstants::indexOfName(constants_->list(), name);
    if (index < 0) return false;
    const QString text = constants_->list().at(index);
    // The constants as a plot registers them; their failures were reported then.
    const ScriptEngine::Quiet quiet(engine_);
    registerConstants();
    class1_.ierr = 0;
    const qint32 n =
        engine_.evalNumber(engine_.compile(text.mid(text.indexOf(QLatin1Char('=')) + 1)), value);
    const bool failed = n != 0 || class1_.ierr != 0;
    class1_.ierr = 0;
    return !failed && std::isfinite(value);
}

bool Session::stepConstant(const QString& name, int direction, double& value)
{
    double now = 0;
    if (!constantValue(name, now)) return false;
    const double step = now == 0 ? ConstantStep : ConstantStep * std::abs(now);
    const double next = now + (direction < 0 ? -step : step);
    if (!std::isfinite(next)) return false;
    value = next;
    constants_->setValue(name, FormatNumber15(next));
    host_.constantsChanged();
    return true;
}

void Session::applyParametricLayout()
{
    ParametricToggle::apply(fields_);
}

qint32 Session::evaluateField(const QString& text, double& value, const Subject& subject)
{
    const SubjectScope scope(engine_, subject);
    // A failure trapped inside one of Class1's functions travels in its ierr.
    class1_.ierr = 0;
    qint32 n = engine_.evalNumber(engine_.compile(text), value);
    if (n == 0 && class1_.ierr != 0) n = class1_.ierr;
    class1_.ierr = 0;
    return n;
}

void Session::forgetSamples()
{
    if (samples_) samples_->clear();
}

void Session::clearViews()
{
    if (driver_) driver_->ClearViews();
    render_.PlotShown = false;
    host_.viewsChanged();
}

bool Session::readSetupOrReport(PlotSetup& target)
{
    Message message;
    if (ReadPlotSetup(target, fields_, engine_, message, &class1_)) return true;
    if (!message.text.isEmpty()) host_.report(message);
    return false;
}

void Session::noteEquations()
{
    QStringList shown = {QStringLiteral("EquationZ")};
    if (fields_.isChecked(QStringLiteral("chkParametric")))
        shown << QStringLiteral("EquationX") << QStringLiteral("EquationY");
    for (const QString& field : std::as_const(shown)) {
        const QString text = fields_.text(QStringLiteral("txt") + field);
        const ScriptEngine::Note note = engine_.note(text);
        if (note.text.isEmpty() || noted_.contains(text)) continue;
        if (noted_.size() >= 1000) noted_.clear(); // bounded: a note may come again, no more
        noted_.insert(text);
        Message m = Message::about({Subject::Kind::Field, field}, note.text);
        m.position = note.position;
        host_.note(m);
    }
}

void Session::redrawIntoImages()
{
    // Without persistent graphics the views hold only what the screen showed; draw the plot
    // afresh, from the setup just read, so that the images carry the current fields.
    if (setup_.Options.Persist) return;
    for (auto& p : pic_)
        p->setAutoRedraw(true);
    for (auto& p : pic_)
        p->setBackColor(p->backColor());
    driver_->DrawPlot(setup_);
    for (auto& p : pic_)
        p->setAutoRedraw(false);
    host_.viewsChanged();
}

bool Session::openSetup(const QString& path)
{
    setupFileName_ = path;
    if (path.isEmpty()) return false;
    SetupFileData data;
    QString error;
    if (!SetupFile::readFile(path, data, error)) {
        const bool incompatible = error.startsWith(SetupFile::Incompatible());
        host_.showMessage(error, incompatible ? QStringLiteral("vantro") : QString());
        return false;
    }
    // A running plot draws from the record that is about to change: it stops where it is.
    cancelPlot();
    fields_.setChecked(QStringLiteral("chkParametric"), data.parametric);
    applyParametricLayout();
    SetupFile::ApplySetupToRecord(data, setup_);
    constants_->setAll(data.constants);
    host_.constantsChanged();
    SetupFile::ApplySetupToFields(data, fields_);
    return true;
}

bool Session::saveSetup(const QString& path)
{
    setupFileName_ = path;
    if (path.isEmpty()) return false;
    // A running plot keeps drawing from its own record; the file gets the fields read apart.
    PlotSetup apart = setup_;
    PlotSetup& read = plotting_ ? apart : setup_;
    if (!readSetupOrReport(read)) return false;
    const SetupFileData data = SetupFile::fromSetup(
        read, fields_.isChecked(QStringLiteral("chkParametric")), constantList());
    QString error;
    if (!SetupFile::checkStorable(data, error)) {
        host_.showMessage(error, QString());
        return false;
    }
    QList<QImage> views;
    if (render_.PlotShown && !plotting_) {
        redrawIntoImages();
        views = {pic_[0]->image(), pic_[1]->image()};
    }
    if (!SetupFile::save(path, SetupFile::format(data), views, error)) {
        host_.showMessage(error, QString());
        return false;
    }
    return true;
}

bool Session::saveAgain()
{
    if (SetupFile::isForeign(setupFileName_) &&
        !host_.ask(SetupFile::ForeignQuestion(setupFileName_), QString()))
        return false;
    return saveSetup(setupFileName_);
}

bool Session::reportLines(QStringList& lines)
{
    PlotSetup apart = setup_;
    PlotSetup& read = plotting_ ? apart : setup_; // as for Save
    if (!readSetupOrReport(read)) return false;
    lines = ReportText::lines(read, fields_.isChecked(QStringLiteral("chkParametric")),
                              fields_.text(QStringLiteral("txtEquationZ")),
                              fields_.text(QStringLiteral("txtEquationX")),
                              fields_.text(QStringLiteral("txtEquationY")), constantList());
    return true;
}

bool Session::sampleSurface(SurfaceGrid& grid, QString& error)
{
    if (!driver_ || plotting_ || current_ || captured_.isEmpty() || !render_.PlotShown) {
        error = QStringLiteral("there is no plot");
        return false;
    }
    const ScriptEngine::Quiet quiet(engine_);
    return SurfaceGrid::sample(*evaluator_, captured_.setup, grid, error);
}

DrawingSurface& Session::view(int index)
{
    return *pic_[index];
}

QImage Session::viewImage(int index) const
{
    return pic_[index]->image();
}

void Session::setViewScale(double scale)
{
    for (auto& p : pic_)
        p->setPixelScale(scale);
}

double Session::viewScale() const
{
    return pic_[0]->pixelScale();
}
