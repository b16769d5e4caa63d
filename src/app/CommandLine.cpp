#include "app/CommandLine.h"
#include "app/RuntimeFolder.h"

#include "app/ConsoleLines.h"
#include "app/SolidOutputs.h"
#include "app/StereoOutputs.h"
#include "app/WindowArguments.h"
#include "eval/ErrorMessages.h"
#include "output/Autostereogram.h"
#include "output/PlotExport.h"
#include "output/SafeWrite.h"
#include "output/StereoImages.h"
#include "render/ImageSurface.h"
#include "session/Session.h"
#include "session/SessionHost.h"
#include "setup/FieldMap.h"
#include "setup/FieldTable.h"
#include "setup/NumberText.h"
#include "setup/StepButtons.h"
#include "setup/SurfaceLook.h"
#include "setup/ZoomPan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <functional>
#include <langinfo.h>
#include <memory>
#include <string>
#include <unistd.h>

#ifndef TAVRIGON_VERSION
#define TAVRIGON_VERSION "0"
#endif

namespace {

constexpr int kExitOk = 0;
constexpr int kExitReported = 1;
constexpr int kExitUsage = 2;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Messages the window would show in a box go to standard error and make the exit status 1;
// notes go there too and leave the status alone.
class ConsoleHost : public SessionHost
{
public:
    void showMessage(const QString& text, const QString& caption) override
    {
        report(Message{text, caption, 0, -1, Subject(), QString()});
    }
    void report(const Message& message) override
    {
        reported = true;
        last = message;
        if (muted) return;
        for (const QString& line : ConsoleLines::of(message))
            err() << line << Qt::endl;
    }
    void note(const Message& message) override { err() << ConsoleLines::note(message) << Qt::endl; }
    // A plot that runs longer than a couple of seconds shows how far it got, on a terminal.
    void processEvents() override
    {
        if (!progressOf || !clock_.isValid() || clock_.elapsed() < 2000 || !::isatty(STDERR_FILENO))
            return;
        const int percent = int(progressOf() * 100);
        if (percent == shownPercent_) return;
        err() << "\rPlotting: " << percent << "%" << Qt::flush;
        shownPercent_ = percent;
    }
    void beep() override {}
    void setBusy(bool busy) override
    {
        clock_.start();
        if (busy || shownPercent_ < 0) return;
        err() << Qt::endl;
        shownPercent_ = -1;
    }
    void viewsChanged() override {}
    void constantsChanged() override {}
    bool ask(const QString& question, const QString& caption) override
    {
        showMessage(question + QStringLiteral(" No: the command line does not replace it."),
                    caption);
        return false;
    }

    bool reported = false;
    bool muted = false;
    Message last;                       // the last message reported, also while muted
    std::function<double()> progressOf; // the running plot's share, 0 to 1

private:
    QElapsedTimer clock_;
    int shownPercent_ = -1;
};

// Plots of more sample points need --max-points.
constexpr double kDefaultMaxPoints = 20e6;

struct Option
{
    QString name;
    QString value;
};

// Every option the command line takes (--help, --version and --labels aside): whether it
// takes a value, whether it writes a file after the plot, and for image outputs the file
// types chosen by the extension.
struct OptionSpec
{
    QString name;
    bool valued = true;
    bool writes = false;
    QStringList types; // png, bmp, svg; empty: any name
};

const QList<OptionSpec>& optionTable()
{
    const QStringList images = {QStringLiteral("png"), QStringLiteral("bmp")};
    const QStringList figures = images + QStringList{QStringLiteral("svg")};
    static const QList<OptionSpec> table = {
        {QStringLiteral("--exec"), true, false, {}},
        {QStringLiteral("--eval"), true, false, {}},
        {QStringLiteral("--set"), true, false, {}},
        {QStringLiteral("--constant"), true, false, {}},
        {QStringLiteral("--press"), true, false, {}},
        {QStringLiteral("--open"), true, false, {}},
        {QStringLiteral("--seed"), true, false, {}},
        {QStringLiteral("--scale"), true, false, {}},
        {QStringLiteral("--frames"), true, false, {}},
        {QStringLiteral("--frame"), true, false, {}},
        {QStringLiteral("--page"), true, false, {}},
        {QStringLiteral("--max-points"), true, false, {}},
        {QStringLiteral("--colour"), true, false, {}},
        {QStringLiteral("--projection"), true, false, {}},
        {QStringLiteral("--left"), true, true, figures},
        {QStringLiteral("--right"), true, true, figures},
        {QStringLiteral("--pair"), true, true, figures},
        {QStringLiteral("--pair-parallel"), true, true, figures},
        {QStringLiteral("--anaglyph"), true, true, images},
        {QStringLiteral("--half-sbs"), true, true, images},
        {QStringLiteral("--autostereogram"), true, true, images},
        {QStringLiteral("--pattern"), true, false, {}},
        {QStringLiteral("--save"), true, true, {}},
        {QStringLiteral("--report"), true, true, {}},
        {QStringLiteral("--pdf"), true, true, {}},
        {QStringLiteral("--wiggle"), true, true, {}},
        {QStringLiteral("--turntable"), true, true, {}},
        {QStringLiteral("--turntable-anaglyph"), true, true, {}},
        {QStringLiteral("--sweep"), true, false, {}},
        {QStringLiteral("--animate"), true, true, {}},
        {QStringLiteral("--animate-anaglyph"), true, true, {}},
        {QStringLiteral("--stl"), true, true, {}},
        {QStringLiteral("--obj"), true, true, {}},
        {QStringLiteral("--size"), true, false, {}},
        {QStringLiteral("--base"), true, false, {}},
        {QStringLiteral("--thicken"), true, false, {}},
    };
    return table;
}

const OptionSpec* findOption(const QString& name)
{
    for (const OptionSpec& o : optionTable())
        if (o.name == name) return &o;
    return nullptr;
}

// The options that write a file, after the plot.
bool isOutput(const QString& name)
{
    const OptionSpec* o = findOption(name);
    return o && o->writes;
}

QString usage()
{
    return QStringLiteral(
        "Usage: tavrigon [--seed N] [FILE]\n"
        "  or:  tavrigon OPTION...\n"
        "Without options, the desktop program, with the setup FILE opened when one is given.\n"
        "With other options, runs once without a window.\n"
        "\n"
        "  --exec STATEMENT     run a statement through the expression engine\n"
        "  --eval EXPRESSION    evaluate an expression and print its value\n"
        "  --set NAME=VALUE     set a field by its setup name (Windowlx ... EquationZ,\n"
        "                       StepRotX ...), or Lines, Dots, Persist, Parametric (0 or 1),\n"
        "                       Backclr (0 White, 1 Black), Accuracy (0 Med, 1 High)\n"
        "  --constant TEXT      type TEXT into the constants box and press Add\n"
        "  --press NAME         click a button by its control name (cmdPlot, cmdIncRotZ, ...)\n"
        "  --open FILE          open a setup file\n"
        "  --seed N             seed the random dots with N (0 to 4294967295), not the clock\n"
        "  --max-points N       plot up to N sample points (mesh points and dots; default\n"
        "                       20000000); a larger plot is refused\n"
        "  --left FILE          after the plot, write the left view (.png, .bmp or .svg)\n"
        "  --right FILE         after the plot, write the right view (.png, .bmp or .svg)\n"
        "  --save FILE          after the plot, save the setup with its two bitmaps\n"
        "                       (beside a regular file only: a device gets the setup alone)\n"
        "  --report FILE        write the report's text lines (- for standard output)\n"
        "  --pdf FILE           write the printed document as a PDF\n"
        "  --page SIZE          its paper, a4 or letter (by default the locale's), with\n"
        "                       margins of 12 mm\n"
        "  --anaglyph FILE      after the plot, write a red/cyan anaglyph of the two views\n"
        "                       (.png or .bmp)\n"
        "  --pair FILE          after the plot, write both views side by side, left first\n"
        "                       (for crossed eyes; .png, .bmp or .svg)\n"
        "  --pair-parallel FILE the same with the views swapped, for parallel eyes\n"
        "                       (stereoscopes, free viewing)\n"
        "  --half-sbs FILE      after the plot, a half side-by-side frame for 3D TVs and\n"
        "                       headsets in their side-by-side mode: the left half holds the\n"
        "                       left eye's picture, each view drawn into its half (.png or .bmp)\n"
        "  --autostereogram FILE  after the plot, a single-image random-dot stereogram of\n"
        "                       the right view's depth, for parallel eyes, with two marks\n"
        "                       at the top to converge on (.png or .bmp); the separation\n"
        "                       runs from 3/40 (near) to 1/10 (far) of the width\n"
        "  --cross              that stereogram for crossed eyes (near is wider apart)\n"
        "  --pattern IMAGE      its dots tiled from IMAGE, not random (--seed sets those)\n"
        "  --frame WxH          the size of those frames (1920x1080 for --half-sbs,\n"
        "                       1200x800 for --autostereogram)\n"
        "  --wiggle FILE.gif    after the plot, an animated GIF of the two views in turn\n"
        "  --turntable FILE.gif an animated GIF of the right view, the surface turned once\n"
        "                       about the z axis from the current Zrot\n"
        "  --turntable-anaglyph FILE.gif  the same as anaglyphs\n"
        "  --sweep NAME=FROM:TO move the user constant NAME from FROM to TO in --frames N\n"
        "                       steps (needed here), each frame the still of that value\n"
        "  --animate FILE.gif   an animated GIF of the right view with the constant moving\n"
        "  --animate-anaglyph FILE.gif  the same as anaglyphs\n"
        "  --frames N           the turntable's number of steps (36), a sweep's frames\n"
        "                       (the animations are written after the other outputs)\n"
        "  --stl FILE           after the plot, write a solid to print (binary STL, mm):\n"
        "                       z(x,y) over a flat base with side walls; a parametric\n"
        "                       surface whose grid closes on itself (sphere, torus) as it\n"
        "                       is; points without a value cut out, walled down to the base\n"
        "  --obj FILE           after the plot, write the triangulated surface with its\n"
        "                       normals (OBJ, in the surface's own units)\n"
        "  --size MM            the solid's longest side (100)\n"
        "  --base MM            the base's thickness below the lowest point of z(x,y) (2)\n"
        "  --thicken MM         write a surface that does not close on itself (a Moebius\n"
        "                       strip, an open patch, z(x,y) too) as a shell this thick\n"
        "  --scale K            draw every image, SVG and animation anew at K times the\n"
        "                       views' size (1 to 16, default 1): sharp lines, not enlarged\n"
        "  --labels             add the axis letters and the tick values to the images,\n"
        "                       SVG and PDF (never to the window's views)\n"
        "  --hidden             leave out the parts of the mesh lines and dots that lie\n"
        "                       behind the surface\n"
        "  --solid              fill the surface, shaded, with its lines on top in a darker\n"
        "                       tone and the hidden parts left out\n"
        "  --colour WHAT        colour the lines, dots and solid surface by height, depth\n"
        "                       or none (the default); anaglyphs show it as brightness\n"
        "  --projection WHICH   oblique (the default) or orthographic: seen along the depth\n"
        "                       axis with one scale on x, y and z, the window fitted whole\n"
        "                       (--hidden, --solid, --colour and --projection apply to every\n"
        "                       image, SVG, PDF and animation of the run, never to the\n"
        "                       window's views or the setup's bitmaps)\n"
        "  --help, --version\n"
        "\n"
        "Options are applied in the order given; the plot runs once after them, then the\n"
        "outputs are written. An option that fails stops the run: no output is written\n"
        "(a failed --eval only prints its error). Messages, hints and notes go to\n"
        "standard error.\n"
        "Exit status: 0 when nothing was reported, 1 when an error was reported (also a\n"
        "failed write on standard output), 2 for bad usage.\n");
}

// A --set NAME: the text field's, check box's or option pair's control name, or empty.
enum class Kind
{
    Text,
    Check,
    Option,
    Unknown
};

Kind controlFor(const QString& name, QString& control)
{
    for (const FieldInfo& f : FieldTable::textFields()) {
        if (f.control.mid(3).compare(name, Qt::CaseInsensitive) == 0) {
            control = f.control;
            return Kind::Text;
        }
    }
    for (const CheckInfo& c : FieldTable::checks()) {
        if (c.control.mid(3).compare(name, Qt::CaseInsensitive) == 0) {
            control = c.control;
            return Kind::Check;
        }
    }
    if (name.compare(QLatin1String("Backclr"), Qt::CaseInsensitive) == 0) {
        control = QStringLiteral("optBackclr");
        return Kind::Option;
    }
    if (name.compare(QLatin1String("Accuracy"), Qt::CaseInsensitive) == 0) {
        control = QStringLiteral("OptAccuracy");
        return Kind::Option;
    }
    return Kind::Unknown;
}

bool parseSet(const QString& value, QString& control, Kind& kind, QString& text, QString& error)
{
    const qsizetype eq = value.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        error = QStringLiteral("--set needs NAME=VALUE, not '%1'").arg(value);
        return false;
    }
    kind = controlFor(value.left(eq), control);
    text = value.mid(eq + 1);
    if (kind == Kind::Unknown) {
        error = QStringLiteral("--set: unknown name '%1'").arg(value.left(eq));
        return false;
    }
    if ((kind == Kind::Check || kind == Kind::Option) && text != QLatin1String("0") &&
        text != QLatin1String("1")) {
        error = QStringLiteral("--set %1 takes 0 or 1").arg(value.left(eq));
        return false;
    }
    return true;
}

// A failed --exec or --eval: "error 11: Division by zero" about the option, with the engine's
// hint when the engine reported it (a failure trapped in a function of the context is not).
// The host's last message was cleared before the option ran.
void reportOptionError(ConsoleHost& host, const QString& option, qint32 number)
{
    const bool fromEngine = host.last.number == number;
    Message m = fromEngine ? host.last : Message();
    m.text = QStringLiteral("error %1: %2")
                 .arg(number)
                 .arg(fromEngine ? host.last.text : ErrorMessages::text(number));
    m.number = number;
    m.subject = {Subject::Kind::Option, option};
    host.report(m);
}

// The type of an image output by its file's extension (any case), as the option table
// allows it; empty for another.
QString imageSuffix(const QString& option, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const OptionSpec* o = findOption(option);
    return o && o->types.contains(suffix) ? suffix : QString();
}

constexpr int MaxFrameSide = 16384;
constexpr double PageMarginMm = 12;

// The paper a --page value names (invalid for another).
QPageSize pageSize(const QString& value)
{
    if (value.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        return QPageSize(QPageSize::A4);
    if (value.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0)
        return QPageSize(QPageSize::Letter);
    return {};
}

// The paper of the user's locale (LC_PAPER): letter where it is about 216 x 279 mm, else A4.
QPageSize localePaper()
{
    const char* now = std::setlocale(LC_PAPER, nullptr);
    const std::string previous = now ? now : "C";
    std::setlocale(LC_PAPER, "");
    // glibc returns these numbers in the low 32 bits of the pointer; the rest is not theirs.
    const auto number = [](nl_item item) {
        return quint32(reinterpret_cast<quintptr>(nl_langinfo(item)));
    };
    const quint32 width = number(_NL_PAPER_WIDTH), height = number(_NL_PAPER_HEIGHT);
    std::setlocale(LC_PAPER, previous.c_str());
    return QPageSize(width == 216 && height == 279 ? QPageSize::Letter : QPageSize::A4);
}

// The size a --frame value names, or an empty size.
QSize frameSize(const QString& value)
{
    const QStringList parts = value.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2) return {};
    bool okW = false, okH = false;
    const int w = parts[0].toInt(&okW), h = parts[1].toInt(&okH);
    if (!okW || !okH || w < 2 || h < 1 || w > MaxFrameSide || h > MaxFrameSide) return {};
    return QSize(w, h);
}

// The bad-usage message for an image output's file, a --scale, --frame, --colour or
// --projection value, else empty.
QString checkImageOption(const QString& option, const QString& value)
{
    SurfaceLook look;
    if (option == QLatin1String("--colour") && !SurfaceLook::colourFromName(value, look.Colouring))
        return QStringLiteral("--colour takes height, depth or none, not '%1'").arg(value);
    if (option == QLatin1String("--projection") && !look.setProjection(value))
        return QStringLiteral("--projection takes oblique or orthographic, not '%1'").arg(value);
    if (option == QLatin1String("--scale")) {
        double k = 0;
        if (ParseCompleteNumber(value, k) && k >= 1 && k <= ImageSurface::MaxPixelScale) return {};
        return QStringLiteral("--scale takes a number from 1 to 16, not '%1'").arg(value);
    }
    if (option == QLatin1String("--page")) {
        if (pageSize(value).isValid()) return {};
        return QStringLiteral("--page takes a4 or letter, not '%1'").arg(value);
    }
    if (option == QLatin1String("--frame")) {
        if (!frameSize(value).isEmpty()) return {};
        return QStringLiteral("--frame takes WIDTHxHEIGHT, each from 2 to %1 pixels, not '%2'")
            .arg(MaxFrameSide)
            .arg(value);
    }
    const OptionSpec* o = findOption(option);
    if (!o || o->types.isEmpty() || !imageSuffix(option, value).isEmpty()) return {};
    QStringList types;
    for (const QString& t : o->types)
        types << QLatin1Char('.') + t;
    const QString last = types.takeLast();
    return QStringLiteral("%1: the type is chosen by the extension, %2 or %3, not '%4'")
        .arg(option, types.join(QStringLiteral(", ")), last, value);
}

// The image outputs of one plot, drawn anew at the scale asked for: the two views once,
// SVG documents for each file.
class ImageOutputs
{
public:
    ImageOutputs(const CapturedPlot& plot, const CapturedPlot::Tools& tools, double scale,
                 bool labels, const SurfaceLook& look, QSize frame)
        : export_(plot, tools, labels, look), scale_(scale), frame_(frame),
          repeatable_(plot.repeatable())
    {
    }

    // Writes the output `option` (--left, --right, --pair, --pair-parallel, --anaglyph).
    bool write(const QString& option, const QString& path, ConsoleHost& host)
    {
        const int right =
            option == QLatin1String("--right") || option == QLatin1String("--pair-parallel");
        const bool pair = option.startsWith(QLatin1String("--pair"));
        const QString suffix = imageSuffix(option, path);
        QString error;
        if (suffix == QLatin1String("svg")) {
            const QList<int> order = pair ? QList<int>{right, 1 - right} : QList<int>{right};
            SafeWrite::writeBytes(path, export_.svg(order, scale_), error);
        } else if (option == QLatin1String("--half-sbs")) {
            const StereoLayout layout(StereoLayout::Mode::HalfSideBySide, frame_,
                                      Session::DesignSize);
            SafeWrite::writeImage(path, export_.frame(layout),
                                  suffix.toUpper().toLatin1().constData(), error);
        } else {
            const std::array<QImage, 2>& v = views();
            const QImage image = option == QLatin1String("--anaglyph")
                                     ? StereoImages::anaglyph(v[0], v[1])
                                 : pair && right ? StereoImages::parallelPair(v[0], v[1])
                                 : pair          ? StereoImages::pair(v[0], v[1])
                                                 : v[right];
            SafeWrite::writeImage(path, image, suffix.toUpper().toLatin1().constData(), error);
        }
        if (!error.isEmpty()) host.showMessage(error, QString());
        return error.isEmpty();
    }

    // The run's plot as drawn at `scale` with its own options: images at that scale take it.
    void takeDrawn(const std::array<QImage, 2>& views, double scale)
    {
        export_.takeDrawn(views, scale);
    }

    // The two views at the run's scale when they are at hand without drawing and another
    // drawing would repeat them, else null.
    std::array<QImage, 2> drawnViews() const
    {
        if (!repeatable_) return {};
        return drawn_ ? views_ : export_.drawn(scale_);
    }

    // Whether `option` writing `path` shows the two views at the run's scale.
    static bool showsViews(const QString& option, const QString& path)
    {
        const QString suffix = imageSuffix(option, path);
        return option == QLatin1String("--wiggle") ||
               (!suffix.isEmpty() && suffix != QLatin1String("svg") &&
                option != QLatin1String("--half-sbs") &&
                option != QLatin1String("--autostereogram"));
    }

private:
    const std::array<QImage, 2>& views()
    {
        if (!drawn_) views_ = export_.images(scale_);
        drawn_ = true;
        return views_;
    }

    PlotExport export_;
    double scale_;
    QSize frame_;
    bool repeatable_;
    bool drawn_ = false;
    std::array<QImage, 2> views_;
};

bool writeReport(const QStringList& lines, const QString& path, ConsoleHost& host)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    const QByteArray bytes = text.toUtf8();
    QString error;
    out().flush();
    if (!(path == QLatin1String("-") ? SafeWrite::writeStandardOutput(bytes, error)
                                     : SafeWrite::writeBytes(path, bytes, error))) {
        host.showMessage(error, QString());
        return false;
    }
    return true;
}

// The buttons that --press can click: what Session::press accepts.
bool isButton(const QString& name)
{
    static const QStringList others = {QStringLiteral("cmdPlot"), QStringLiteral("cmdAddCons"),
                                       QStringLiteral("cmdRemCons")};
    return others.contains(name) || StepButtons::find(name) || ZoomPanCode(name) >= 0;
}

// Standard output and error are checked at exit, as a full disk or a closed pipe loses what
// was printed: the status becomes 1.
int finish(int status)
{
    out().flush();
    bool outFailed = out().status() != QTextStream::Ok;
    QString reason = outFailed ? out().device()->errorString() : QString();
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        outFailed = true;
        if (reason.isEmpty()) reason = QString::fromLocal8Bit(std::strerror(errno ? errno : EIO));
    }
    if (outFailed) err() << "tavrigon: Cannot write standard output: " << reason << "." << Qt::endl;
    err().flush();
    const bool errFailed =
        err().status() != QTextStream::Ok || std::fflush(stderr) != 0 || std::ferror(stderr);
    return outFailed || errFailed ? std::max(status, kExitReported) : status;
}

int runOptions(int argc, char** argv)
{
    QList<Option> options;
    bool labels = false;
    double scale = 1;
    int frames = StereoOutputs::DefaultFrames;
    QSize frame; // by default each output's own
    bool cross = false;
    QString pattern;
    QPageSize page;
    SurfaceLook look;
    double maxPoints = kDefaultMaxPoints;
    StereoOutputs::Sweep sweep;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out() << usage();
            return kExitOk;
        }
        if (arg == QLatin1String("--version")) {
            out() << "tavrigon " << TAVRIGON_VERSION << Qt::endl;
            return kExitOk;
        }
        if (arg == QLatin1String("--labels")) {
            labels = true;
            continue;
        }
        if (arg == QLatin1String("--hidden") || arg == QLatin1String("--solid")) {
            (arg == QLatin1String("--hidden") ? look.Hidden : look.Solid) = true;
            continue;
        }
        if (arg == QLatin1String("--cross")) {
            cross = true;
            continue;
        }
        for (const char* flag :
             {"--labels", "--hidden", "--solid", "--cross", "--help", "--version"}) {
            if (arg.startsWith(QLatin1String(flag) + QLatin1Char('='))) {
                err() << "tavrigon: " << flag << " takes no value, not '" << arg << "'" << Qt::endl;
                return kExitUsage;
            }
        }
        if (!arg.startsWith(QLatin1Char('-'))) {
            err() << "tavrigon: '" << arg << "' is no option: write --open " << arg
                  << " to read the setup file in this run, or 'tavrigon " << arg
                  << "' alone for the window with it\nTry 'tavrigon --help'." << Qt::endl;
            return kExitUsage;
        }
        QString name = arg;
        QString value;
        bool inlineValue = false;
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && eq > 2 && findOption(arg.left(eq))) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            inlineValue = true;
        }
        if (!findOption(name)) {
            err() << "tavrigon: unknown option '" << arg << "'\nTry 'tavrigon --help'." << Qt::endl;
            return kExitUsage;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                err() << "tavrigon: " << name << " needs a value\nTry 'tavrigon --help'."
                      << Qt::endl;
                return kExitUsage;
            }
            value = QString::fromLocal8Bit(argv[++i]);
        }
        if (name == QLatin1String("--set")) {
            QString control, text, error;
            Kind kind;
            if (!parseSet(value, control, kind, text, error)) {
                err() << "tavrigon: " << error << Qt::endl;
                return kExitUsage;
            }
        }
        quint32 seed = 0;
        if (name == QLatin1String("--seed") && !WindowArguments::parseSeed(value, seed)) {
            err() << "tavrigon: --seed takes a whole number, not '" << value << "'" << Qt::endl;
            return kExitUsage;
        }
        if (name == QLatin1String("--press") && !isButton(value)) {
            err() << "tavrigon: --press: no button named '" << value << "'" << Qt::endl;
            return kExitUsage;
        }
        if (const QString error =
                StereoOutputs::checkOption(name, value) + SolidOutputs::checkOption(name, value);
            !error.isEmpty()) {
            err() << "tavrigon: " << error << Qt::endl;
            return kExitUsage;
        }
        if (const QString error = checkImageOption(name, value); !error.isEmpty()) {
            err() << "tavrigon: " << error << Qt::endl;
            return kExitUsage;
        }
        if (name == QLatin1String("--scale")) ParseCompleteNumber(value, scale);
        if (name == QLatin1String("--frames")) frames = value.toInt();
        if (name == QLatin1String("--sweep")) StereoOutputs::Sweep::parse(value, sweep);
        if (name == QLatin1String("--frame")) frame = frameSize(value);
        if (name == QLatin1String("--pattern")) pattern = value;
        if (name == QLatin1String("--page")) page = pageSize(value);
        if (name == QLatin1String("--colour")) SurfaceLook::colourFromName(value, look.Colouring);
        if (name == QLatin1String("--projection")) look.setProjection(value);
        if (name == QLatin1String("--max-points") &&
            (!ParseCompleteNumber(value, maxPoints) || !(maxPoints >= 1 && maxPoints <= 1e15))) {
            err() << "tavrigon: --max-points takes a number from 1 to 1E15, not '" << value << "'"
                  << Qt::endl;
            return kExitUsage;
        }
        options.append({name, value});
    }
    // Before anything is drawn: an animation too large to make, or an option without one it
    // needs, is bad usage.
    QStringList names;
    for (const Option& o : std::as_const(options))
        names << o.name;
    if (const QString error = StereoOutputs::checkTogether(names); !error.isEmpty()) {
        err() << "tavrigon: " << error << "\nTry 'tavrigon --help'." << Qt::endl;
        return kExitUsage;
    }
    for (const Option& o : std::as_const(options)) {
        const QString error = StereoOutputs::checkSize(o.name, frames, scale, Session::DesignSize);
        if (!error.isEmpty()) {
            err() << "tavrigon: " << error << Qt::endl;
            return kExitUsage;
        }
    }

    // No display is needed: images, PDF and text only.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Keeps Qt from warning about it on standard error, which scripts read.
        if (const QString dir = RuntimeFolder::choose(QDir::tempPath()); !dir.isEmpty())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
    }
    // Only text (labels, the PDF) needs fonts and so a GUI application; images, animations,
    // setup and report files are made with a core one, which starts in a fraction of the time.
    const bool text = labels || std::any_of(options.cbegin(), options.cend(), [](const Option& o) {
                          return o.name == QLatin1String("--pdf");
                      });
    const std::unique_ptr<QCoreApplication> app =
        text ? std::make_unique<QGuiApplication>(argc, argv)
             : std::make_unique<QCoreApplication>(argc, argv);
    Autostereogram stereogram(frame.isEmpty() ? Autostereogram::DefaultFrame : frame,
                              cross ? Autostereogram::Viewing::Cross
                                    : Autostereogram::Viewing::Parallel);
    if (!pattern.isEmpty()) {
        QImageReader reader(pattern);
        const QImage tile = reader.read();
        if (tile.isNull()) {
            err() << "tavrigon: --pattern: cannot read '" << pattern
                  << "': " << reader.errorString() << Qt::endl;
            return kExitUsage;
        }
        stereogram.setPattern(tile);
    }
    // Without a window there is no question to ask: numbers always use the decimal point.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");

    FieldMap fields;
    ConsoleHost host;
    Session session(fields, host);
    session.load(QDir::currentPath());
    session.setSampleLimit(maxPoints, QStringLiteral("--max-points raises the bound."));
    host.progressOf = [&session] { return session.plotProgress(); };

    bool plotNeeded = false;
    bool plotCurrent = false;
    bool wantsOutput = false;
    QList<Option> outputs;
    for (const Option& o : std::as_const(options))
        wantsOutput = wantsOutput || isOutput(o.name);
    SolidMesh::Size solidSize;
    bool constantsPending = false; // constants added since they last ran
    for (const Option& o : std::as_const(options)) {
        if (o.name == QLatin1String("--exec")) {
            host.last = Message();
            host.muted = true;
            const SubjectScope subject(session.engine(), {Subject::Kind::Option, o.name});
            const qint32 n = session.engine().executeStatement(o.value);
            session.forgetSamples();
            host.muted = false;
            if (n != 0) {
                reportOptionError(host, o.name, n);
                break;
            }
            plotCurrent = false;
        } else if (o.name == QLatin1String("--eval")) {
            // The constants given so far are in effect, as they are for a plot.
            if (constantsPending) session.registerConstants();
            constantsPending = false;
            const Subject subject = {Subject::Kind::Option, o.name};
            host.last = Message();
            double value = 0;
            host.muted = true;
            const qint32 n = session.evaluateField(o.value, value, subject);
            host.muted = false;
            if (n != 0)
                reportOptionError(host, o.name, n);
            else
                out() << FormatNumber15(value) << Qt::endl;
            if (const ScriptEngine::Note note = session.engine().note(o.value);
                !note.text.isEmpty())
                host.note(Message::about(subject, note.text));
        } else if (o.name == QLatin1String("--set")) {
            QString control, text, error;
            Kind kind;
            parseSet(o.value, control, kind, text, error);
            if (kind == Kind::Text)
                fields.setText(control, text);
            else if (kind == Kind::Check) {
                fields.setChecked(control, text == QLatin1String("1"));
                if (control == QLatin1String("chkParametric")) session.applyParametricLayout();
            } else
                fields.setOption(control, text.toInt());
            plotNeeded = true;
            plotCurrent = false;
        } else if (o.name == QLatin1String("--constant")) {
            fields.setText(QStringLiteral("cboConstants"), o.value);
            const Session::AddResult r = session.addConstant();
            if (r == Session::AddResult::Refused)
                host.showMessage(QStringLiteral("The constant '%1' was refused: write name=value, "
                                                "the name a letter followed by letters or digits")
                                     .arg(o.value),
                                 QString());
            if (r != Session::AddResult::Added) break;
            constantsPending = true;
            plotNeeded = true;
            plotCurrent = false;
        } else if (o.name == QLatin1String("--press")) {
            const bool plots = o.value == QLatin1String("cmdPlot") ||
                               o.value.startsWith(QLatin1String("cmdZoom")) ||
                               o.value.startsWith(QLatin1String("cmdPan"));
            if (!session.press(o.value)) {
                err() << "tavrigon: --press: no button named '" << o.value << "'" << Qt::endl;
                return kExitUsage;
            }
            plotNeeded = true;
            plotCurrent = plots;
        } else if (o.name == QLatin1String("--seed")) {
            quint32 seed = 0;
            WindowArguments::parseSeed(o.value, seed);
            session.seedRandom(seed);
        } else if (o.name == QLatin1String("--open")) {
            if (!session.openSetup(o.value)) break;
            constantsPending = true;
            plotNeeded = true;
            plotCurrent = false;
        } else if (!SolidOutputs::take(o.name, o.value, solidSize) && isOutput(o.name)) {
            outputs.append(o);
            plotNeeded = true;
        }
    }

    // The plot is drawn once, at the size of the outputs that show its views as the window
    // draws them (without labels or another look); the setup's bitmaps need the window's size.
    // Its samples are kept only for outputs that draw it again.
    const bool saves = std::any_of(outputs.cbegin(), outputs.cend(), [](const Option& o) {
        return o.name == QLatin1String("--save");
    });
    const bool viewsServe = !labels && look == SurfaceLook() && (scale == 1 || !saves);
    const auto takesViews = [viewsServe](const Option& o) {
        return viewsServe && ImageOutputs::showsViews(o.name, o.value);
    };
    if (std::any_of(outputs.cbegin(), outputs.cend(), takesViews)) session.setViewScale(scale);
    session.keepSamples(std::any_of(outputs.cbegin(), outputs.cend(), [&](const Option& o) {
        return !takesViews(o) && o.name != QLatin1String("--report") &&
               !SolidOutputs::isOutput(o.name);
    }));
    // A batch stops at the first failure: no output file is written after an option failed or
    // a plot that could not read its fields, so a script never gets a plausible wrong figure.
    if (!host.reported && plotNeeded && !plotCurrent) session.plot();
    // The animations plot again: they come after every output of the plot shown.
    std::stable_partition(outputs.begin(), outputs.end(),
                          [](const Option& o) { return !StereoOutputs::isOutput(o.name); });
    // Not a failure: the surface may lie elsewhere, or be undefined over the window.
    if (!host.reported && plotNeeded && session.renderState().PlotShown &&
        !session.surfaceInWindow())
        err() << "tavrigon: the surface has no point in the window" << Qt::endl;
    if (host.reported || (plotNeeded && !session.renderState().PlotShown)) {
        if (!host.reported)
            host.showMessage(QStringLiteral("Nothing was plotted: the fields could not be read."),
                             QString());
        if (wantsOutput) host.showMessage(QStringLiteral("No output file was written."), QString());
        return kExitReported;
    }
    const QPageLayout pageLayout(page.isValid() ? page : localePaper(), QPageLayout::Portrait,
                                 QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm),
                                 QPageLayout::Millimeter);
    const CapturedPlot plot = session.capturedPlot();
    // Known only now, from the constants the plot was drawn with.
    if (const QString error = StereoOutputs::checkConstant(plot, sweep); !error.isEmpty()) {
        host.showMessage(error, QString());
        host.showMessage(QStringLiteral("No output file was written."), QString());
        return kExitReported;
    }
    ImageOutputs images(plot, session.plotTools(), scale, labels, look,
                        frame.isEmpty() ? QSize(1920, 1080) : frame);
    images.takeDrawn({session.viewImage(0), session.viewImage(1)}, session.viewScale());
    for (const Option& o : std::as_const(outputs)) {
        QString error;
        QStringList lines;
        if (o.name == QLatin1String("--save")) {
            session.setSetupFileName(o.value);
            session.saveAgain();
        } else if (o.name == QLatin1String("--report")) {
            if (session.reportLines(lines)) writeReport(lines, o.value, host);
        } else if (o.name == QLatin1String("--pdf")) {
            if (session.reportLines(lines) && !PlotExport(plot, session.plotTools(), labels, look)
                                                   .writePdf(o.value, pageLayout, lines, error))
                host.showMessage(error, QString());
        } else if (o.name == QLatin1String("--autostereogram")) {
            if (!stereogram.write(plot, session.plotTools(), look, o.value,
                                  imageSuffix(o.name, o.value).toUpper().toLatin1().constData(),
                                  error))
                host.showMessage(error, QString());
        } else if (SolidOutputs::isOutput(o.name)) {
            if (!SolidOutputs::write(session, o.name, o.value, solidSize, error))
                host.showMessage(error, QString());
        } else if (StereoOutputs::isOutput(o.name)) {
            if (!StereoOutputs::write(plot, session.plotTools(), o.name, o.value,
                                      {frames, scale, labels, look, images.drawnViews(), sweep},
                                      error))
                host.showMessage(error, QString());
        } else
            images.write(o.name, o.value, host);
    }
    return host.reported ? kExitReported : kExitOk;
}

} // namespace

namespace CommandLine {

int run(int argc, char** argv)
{
    return finish(runOptions(argc, argv));
}

} // namespace CommandLine
