#include "ui/frmVantro.h"

#include "output/ClipboardCopy.h"
#include "output/PlotExport.h"
#include "output/StereoImages.h"
#include "render/DrawingSurface.h"
#include "session/Session.h"
#include "setup/FieldTable.h"
#include "setup/FieldValidation.h"
#include "setup/StepButtons.h"
#include "setup/ZoomPan.h"
#include "ui/AxesPicture.h"
#include "ui/FocusGuard.h"
#include "ui/HelpFile.h"
#include "ui/HelpViewer.h"
#include "ui/ImageExport.h"
#include "ui/PlotProgress.h"
#include "ui/ProductText.h"
#include "ui/SetupDrop.h"
#include "ui/StereoViewer.h"
#include "ui/ViewInteraction.h"
#include "ui/ViewWidget.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

namespace {
// Client area 11970 x 7485 twips at 15 twips to the pixel.
constexpr int ClientWidth = 798;
constexpr int ClientHeight = 499;
constexpr int RowHeight = 17;

const QString LabelFamily = QStringLiteral("MS Sans Serif");
} // namespace

// The form's face, with the nearest faces of a Linux system behind it.
QFont frmVantro::uiFont(qreal points, bool bold)
{
    QFont f;
    f.setFamilies({LabelFamily, QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("Arial")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

namespace {
QString optionName(const QString& group, int index)
{
    return group + QLatin1Char('_') + QString::number(index);
}

const StepButton& stepButton(const QString& name)
{
    const StepButton* b = StepButtons::find(name);
    Q_ASSERT(b);
    return *b;
}

QString stepToolTip(const QString& field)
{
    for (const StepField& f : StepButtons::stepFields())
        if (f.control == field) return f.toolTip;
    return {};
}

const ZoomPanButton& zoomButton(const QString& name)
{
    return ZoomPanButtons().at(ZoomPanCode(name));
}
} // namespace

frmVantro::frmVantro(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmVantro"));
    setWindowTitle(ProductText::title());
    setWindowIcon(QIcon(QPixmap::fromImage(AxesPicture::icon())));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    client->setFont(uiFont(8.25, false));
    setCentralWidget(client);

    session_ = std::make_unique<Session>(*this, *this);
    buildControls(client);
    applyStyle(client);
    buildMenu();
    buildTabOrder();
    attachFocusChecks();

    interaction_ = new ViewInteraction(
        *session_, [this] { return focusGuard_->focusMayLeave(); }, this);
    interaction_->watch(views_[0]);
    interaction_->watch(views_[1]);
    progress_ = new PlotProgress(views_[1]);
    qApp->installEventFilter(this);
    drop_ = new SetupDrop(this, [this](const QString& path) { openSetupFile(path); });
    qApp->installEventFilter(drop_);

    // The load event.
    session_->load(QDir::currentPath());
    session_->applyParametricLayout();
    viewsChanged();
    constantsChanged();
}

frmVantro::~frmVantro()
{
    qApp->removeEventFilter(this);
    qApp->removeEventFilter(drop_);
    if (focusGuard_) qApp->removeEventFilter(focusGuard_);
    delete about_.data();
    delete help_.data();
    // The controls go before the session they forward to.
    delete takeCentralWidget();
}

frmAbout* frmVantro::aboutWindow() const
{
    return about_.data();
}

HelpViewer* frmVantro::helpViewer() const
{
    return help_.data();
}

StereoViewer* frmVantro::stereoViewer() const
{
    return viewer_.data();
}

void frmVantro::registerControl(QWidget* widget, const QString& name)
{
    widget->setObjectName(name);
    controls_.insert(name, widget);
}

QGroupBox* frmVantro::frame(QWidget* parent, const QString& name, const QString& title, int x,
                            int y, int w, int h)
{
    auto* box = new QGroupBox(title, parent);
    registerControl(box, name);
    box->setGeometry(x, y, w, h);
    return box;
}

QLabel* frmVantro::label(QWidget* parent, const QString& name, const QString& text, int x, int y,
                         int w, int h, const QString& tip)
{
    auto* l = new QLabel(text, parent);
    registerControl(l, name);
    l->setGeometry(x, y, w, h);
    l->setFont(uiFont(8.25, true));
    l->setToolTip(tip);
    l->setAutoFillBackground(true);
    return l;
}

QLineEdit* frmVantro::field(QWidget* parent, const QString& name, int x, int y, int w, int h,
                            const QString& tip)
{
    auto* e = new QLineEdit(FieldTable::defaultText(name), parent);
    registerControl(e, name);
    e->setGeometry(x, y, w, h);
    e->setToolTip(tip);
    e->setCursorPosition(0);
    return e;
}

QPushButton* frmVantro::button(QWidget* parent, const QString& name, const QString& caption,
                               const QString& tip, int x, int y, int w, int h)
{
    auto* b = new QPushButton(caption, parent);
    registerControl(b, name);
    b->setGeometry(x, y, w, h);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, name] { buttonClicked(name); });
    return b;
}

void frmVantro::check(QWidget* parent, const QString& name, const QString& caption,
                      const QString& tip, int x, int y, int w, int h)
{
    auto* c = new QCheckBox(caption, parent);
    registerControl(c, name);
    c->setGeometry(x, y, w, h);
    c->setToolTip(tip);
    for (const CheckInfo& info : FieldTable::checks())
        if (info.control == name) c->setChecked(info.defaultChecked);
}

void frmVantro::optionButton(QWidget* parent, const QString& group, int index,
                             const QString& caption, int x, int y, int w, int h)
{
    auto* r = new QRadioButton(caption, parent);
    registerControl(r, optionName(group, index));
    r->setGeometry(x, y, w, h);
    // Tab lands on the selected option of the pair; the arrow keys move between the two.
    connect(r, &QRadioButton::toggled, r,
            [r](bool on) { r->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); });
    r->setFocusPolicy(Qt::ClickFocus);
    for (const OptionInfo& info : FieldTable::options())
        if (info.group == group) r->setChecked(info.defaultIndex == index);
}

// "-", "+" and the step field of one row.
void frmVantro::stepRow(QWidget* parent, const QString& decButton, const QString& incButton,
                        const QString& stepField, int x, int y)
{
    const StepButton& dec = stepButton(decButton);
    const StepButton& inc = stepButton(incButton);
    QFont f = uiFont(9.75, true);
    button(parent, decButton, dec.caption, dec.toolTip, x, y, 20, RowHeight)->setFont(f);
    button(parent, incButton, inc.caption, inc.toolTip, x + 22, y, 20, RowHeight)->setFont(f);
    field(parent, stepField, x + 44, y, 0, RowHeight, stepToolTip(stepField));
}

void frmVantro::buildControls(QWidget* client)
{
    views_[0] = new ViewWidget(session_->view(0), client);
    views_[0]->setObjectName(QStringLiteral("pic_0"));
    views_[1] = new ViewWidget(session_->view(1), client);
    views_[1]->setObjectName(QStringLiteral("pic_1"));

    // Equation rows (the last two hidden in the explicit layout).
    const int eqTop[3] = {300, 318, 336};
    label(client, QStringLiteral("lblZ"), QStringLiteral("z(x,y)="), 0, eqTop[0], 41, 18);
    field(client, QStringLiteral("txtEquationZ"), 41, eqTop[0], 400, 18);
    label(client, QStringLiteral("lblY"), QStringLiteral("y(u,v)="), 0, eqTop[1], 41, 18);
    field(client, QStringLiteral("txtEquationY"), 41, eqTop[1], 400, 18);
    label(client, QStringLiteral("lblX"), QStringLiteral("x(u,v)="), 0, eqTop[2], 41, 18);
    field(client, QStringLiteral("txtEquationX"), 41, eqTop[2], 400, 18);

    button(client, QStringLiteral("cmdPlot"), QStringLiteral("&Plot"), QStringLiteral("Plot"), 442,
           300, 28, 18);

    const int rowTop[4] = {13, 31, 49, 67};

    // Window and domain: lower field, label, upper field, "-", "+", step field.
    const QString intervalTip = QStringLiteral("Defines interval to be studied");
    auto intervalRow = [&](QWidget* parent, int row, const QString& lower, const QString& lbl,
                           const QString& caption, const QString& upper, const QString& lowerTip,
                           const QString& upperTip, const QString& dec, const QString& inc,
                           const QString& step) {
        const int y = rowTop[row];
        field(parent, lower, 5, y, 78, RowHeight, lowerTip);
        label(parent, lbl, caption, 85, y, 42, RowHeight, intervalTip)
            ->setAlignment(Qt::AlignCenter);
        field(parent, upper, 129, y, 78, RowHeight, upperTip);
        stepRow(parent, dec, inc, step, 209, y);
        qobject_cast<QLineEdit*>(controls_.value(step))->setGeometry(253, y, 66, RowHeight);
    };
    QGroupBox* window =
        frame(client, QStringLiteral("fraWindow"), QStringLiteral("Window"), 0, 354, 324, 68);
    const QString lowerWindow = QStringLiteral("Lower limit of window");
    const QString upperWindow = QStringLiteral("Upper limit of window");
    const char* axes[3] = {"x", "y", "z"};
    const char* stepAxes[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        const QString a = QLatin1String(axes[i]);
        const QString A = QLatin1String(stepAxes[i]);
        intervalRow(window, i, QStringLiteral("txtWindowl") + a, QStringLiteral("lblWindow") + a,
                    QStringLiteral("<=") + a + QStringLiteral("<="),
                    QStringLiteral("txtWindowg") + a, lowerWindow, upperWindow,
                    QStringLiteral("cmdDecWind") + A, QStringLiteral("cmdIncWind") + A,
                    QStringLiteral("txtStepWind") + A);
    }
    QGroupBox* range =
        frame(client, QStringLiteral("fraRange"), QStringLiteral("Range"), 0, 420, 324, 50);
    const QString lowerRange = QStringLiteral("Lower limit of range");
    const QString upperRange = QStringLiteral("Upper limit of range");
    intervalRow(range, 0, QStringLiteral("txtRangelxu"), QStringLiteral("lblxu"),
                QStringLiteral("<=x<="), QStringLiteral("txtRangegxu"), lowerRange, upperRange,
                QStringLiteral("cmdDecRangXU"), QStringLiteral("cmdIncRangXU"),
                QStringLiteral("txtStepRangXU"));
    intervalRow(range, 1, QStringLiteral("txtRangelyv"), QStringLiteral("lblyv"),
                QStringLiteral("<=y<="), QStringLiteral("txtRangegyv"), lowerRange, upperRange,
                QStringLiteral("cmdDecRangYV"), QStringLiteral("cmdIncRangYV"),
                QStringLiteral("txtStepRangYV"));

    QGroupBox* graph =
        frame(client, QStringLiteral("fraGraph"), QStringLiteral("Graph"), 0, 468, 234, 32);
    check(graph, QStringLiteral("chkLines"), QStringLiteral("Lines"),
          QStringLiteral("Check if you want lines"), 5, 13, 47, 16);
    check(graph, QStringLiteral("chkDots"), QStringLiteral("Dots"),
          QStringLiteral("Check if you want random dots"), 53, 13, 43, 16);
    check(graph, QStringLiteral("chkPersist"), QStringLiteral("Persist"),
          QStringLiteral("Check if you want persistent graphics"), 97, 13, 55, 16);
    check(graph, QStringLiteral("chkParametric"), QStringLiteral("Parametric"),
          QStringLiteral("Check if you want parametric representation"), 153, 13, 78, 16);
    connect(qobject_cast<QCheckBox*>(controls_.value(QStringLiteral("chkParametric"))),
            &QCheckBox::clicked, this, [this] { session_->applyParametricLayout(); });

    QGroupBox* back = frame(client, QStringLiteral("fraBackground"), QStringLiteral("Background"),
                            234, 468, 100, 32);
    optionButton(back, QStringLiteral("optBackclr"), 0, QStringLiteral("White"), 5, 13, 47, 16);
    optionButton(back, QStringLiteral("optBackclr"), 1, QStringLiteral("Black"), 52, 13, 46, 16);

    // Zooming and panning.
    QGroupBox* zoomPan = frame(client, QStringLiteral("fraZoomPan"),
                               QStringLiteral("Zooming and panning"), 326, 354, 142, 96);
    QGroupBox* zoom =
        frame(zoomPan, QStringLiteral("fraZoom"), QStringLiteral("Zoom"), 3, 11, 84, 82);
    auto zoomPanButton = [&](QWidget* parent, const QString& name, int x, int y, int w, int h) {
        const ZoomPanButton& z = zoomButton(name);
        button(parent, name, z.caption, z.toolTip, x, y, w, h);
    };
    zoomPanButton(zoom, QStringLiteral("cmdZoomIn"), 4, 13, 37, RowHeight);
    zoomPanButton(zoom, QStringLiteral("cmdZoomOut"), 43, 13, 37, RowHeight);
    QGroupBox* octant =
        frame(zoom, QStringLiteral("fraOctant"), QStringLiteral("Octant"), 3, 33, 78, 46);
    for (int q = 1; q <= 8; ++q) {
        const int col = (q - 1) % 4, row = (q - 1) / 4;
        zoomPanButton(octant, QStringLiteral("cmdZoomQ%1").arg(q), 4 + col * 18, 12 + row * 16, 17,
                      15);
    }
    QGroupBox* pan =
        frame(zoomPan, QStringLiteral("fraPan"), QStringLiteral("Pan"), 89, 11, 50, 82);
    const int panX[3] = {3, 18, 33}, panY[3] = {14, 36, 58};
    zoomPanButton(pan, QStringLiteral("cmdPanUp"), panX[1], panY[0], 14, 20);
    zoomPanButton(pan, QStringLiteral("cmdPanIn"), panX[2], panY[0], 14, 20);
    zoomPanButton(pan, QStringLiteral("cmdPanLeft"), panX[0], panY[1], 14, 20);
    zoomPanButton(pan, QStringLiteral("cmdPanRight"), panX[2], panY[1], 14, 20);
    zoomPanButton(pan, QStringLiteral("cmdPanOut"), panX[0], panY[2], 14, 20);
    zoomPanButton(pan, QStringLiteral("cmdPanDown"), panX[1], panY[2], 14, 20);

    // User constants.
    QGroupBox* cons = frame(client, QStringLiteral("fraConstants"),
                            QStringLiteral("User constants"), 336, 448, 145, 53);
    cons->setToolTip(QStringLiteral("Add or remove user-defined constants"));
    button(cons, QStringLiteral("cmdAddCons"), QStringLiteral("Add"),
           QStringLiteral("Add (register) constant"), 5, 12, 66, RowHeight);
    button(cons, QStringLiteral("cmdRemCons"), QStringLiteral("Remove"),
           QStringLiteral("Remove selected constant"), 74, 12, 66, RowHeight);
    constants_ = new QComboBox(cons);
    registerControl(constants_, QStringLiteral("cboConstants"));
    constants_->setEditable(true);
    constants_->setInsertPolicy(QComboBox::NoInsert);
    constants_->setGeometry(5, 31, 135, 20);
    constants_->setToolTip(QStringLiteral("Example: a=2.37"));
    constants_->setEditText(FieldTable::defaultText(QStringLiteral("cboConstants")));
    constants_->lineEdit()->setCursorPosition(0);
    connect(constants_, &QComboBox::editTextChanged, this,
            [this] { session_->constantsTextEdited(); });
    connect(constants_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { buttonClicked(QStringLiteral("cmdAddCons")); });

    // Rotation and translation: label, value field, "-", "+", step field.
    auto valueRow = [&](QWidget* parent, int row, const QString& lbl, const QString& caption,
                        const QString& value, const QString& tip, const QString& dec,
                        const QString& inc, const QString& step) {
        const int y = rowTop[row];
        label(parent, lbl, caption, 4, y, 16, RowHeight);
        field(parent, value, 22, y, 56, RowHeight, tip);
        stepRow(parent, dec, inc, step, 80, y);
        qobject_cast<QLineEdit*>(controls_.value(step))->setGeometry(124, y, 34, RowHeight);
    };
    QGroupBox* rotation = frame(client, QStringLiteral("fraRotation"),
                                QStringLiteral("Rotation (degrees)"), 471, 300, 163, 68);
    QGroupBox* translation = frame(client, QStringLiteral("fraTranslation"),
                                   QStringLiteral("Translation"), 471, 366, 163, 68);
    for (int i = 0; i < 3; ++i) {
        const QString a = QLatin1String(axes[i]);
        const QString A = QLatin1String(stepAxes[i]);
        valueRow(rotation, i, QStringLiteral("lblRot") + a, a + QLatin1Char(':'),
                 QStringLiteral("txt") + A + QStringLiteral("rot"), QStringLiteral("In degrees"),
                 QStringLiteral("cmdDecRot") + A, QStringLiteral("cmdIncRot") + A,
                 QStringLiteral("txtStepRot") + A);
        valueRow(translation, i, QStringLiteral("lblTr") + a, a + QLatin1Char(':'),
                 QStringLiteral("txt") + A + QStringLiteral("tr"), QString(),
                 QStringLiteral("cmdDecTran") + A, QStringLiteral("cmdIncTran") + A,
                 QStringLiteral("txtStepTran") + A);
    }

    QGroupBox* accuracy = frame(client, QStringLiteral("fraAccuracy"),
                                QStringLiteral("PD accuracy"), 471, 434, 163, 17);
    optionButton(accuracy, QStringLiteral("OptAccuracy"), 0, QStringLiteral("Med"), 76, 1, 42, 15);
    optionButton(accuracy, QStringLiteral("OptAccuracy"), 1, QStringLiteral("High"), 118, 1, 42,
                 15);

    // Small frames of labelled fields, one row each.
    auto labelledRows = [&](QGroupBox* parent, const QList<QPair<QString, QString>>& rows,
                            const QStringList& captions, int labelWidth, int fieldWidth) {
        for (int i = 0; i < rows.size(); ++i) {
            label(parent, rows[i].first, captions[i], 4, rowTop[i], labelWidth, RowHeight);
            field(parent, rows[i].second, 6 + labelWidth, rowTop[i], fieldWidth, RowHeight);
        }
    };
    const QStringList xyz = {QStringLiteral("x:"), QStringLiteral("y:"), QStringLiteral("z:")};
    labelledRows(frame(client, QStringLiteral("fraSpacings"), QStringLiteral("# of spacings"), 482,
                       450, 78, 50),
                 {{QStringLiteral("lblSpacexu"), QStringLiteral("txtSpacexu")},
                  {QStringLiteral("lblSpaceyv"), QStringLiteral("txtSpaceyv")}},
                 xyz, 14, 52);
    labelledRows(frame(client, QStringLiteral("fraSegments"),
                       QStringLiteral("# of segments per spacing"), 560, 450, 140, 50),
                 {{QStringLiteral("lblSegsxu"), QStringLiteral("txtSegsxu")},
                  {QStringLiteral("lblSegsyv"), QStringLiteral("txtSegsyv")}},
                 xyz, 14, 60);
    labelledRows(frame(client, QStringLiteral("fraAxes"), QStringLiteral("Axes"), 635, 300, 64, 68),
                 {{QStringLiteral("lblXorigin"), QStringLiteral("txtXorigin")},
                  {QStringLiteral("lblYorigin"), QStringLiteral("txtYorigin")},
                  {QStringLiteral("lblZorigin"), QStringLiteral("txtZorigin")}},
                 xyz, 14, 40);
    labelledRows(frame(client, QStringLiteral("fraDivisions"), QStringLiteral("Divisions on axes"),
                       701, 300, 97, 68),
                 {{QStringLiteral("lblDivx"), QStringLiteral("txtDivx")},
                  {QStringLiteral("lblDivy"), QStringLiteral("txtDivy")},
                  {QStringLiteral("lblDivz"), QStringLiteral("txtDivz")}},
                 xyz, 14, 72);
    labelledRows(
        frame(client, QStringLiteral("fraOther"), QStringLiteral("Other"), 635, 366, 163, 86),
        {{QStringLiteral("lblNdots"), QStringLiteral("txtNdots")},
         {QStringLiteral("lblGrid"), QStringLiteral("txtGrid")},
         {QStringLiteral("lblStereo"), QStringLiteral("txtStereo")},
         {QStringLiteral("lblReduce"), QStringLiteral("txtReduce")}},
        {QStringLiteral("# of dots:"), QStringLiteral("# of reference lines:"),
         QStringLiteral("Stereoscopic factor:"), QStringLiteral("Reduction factor:")},
        114, 37);
    controls_.value(QStringLiteral("txtGrid"))
        ->setToolTip(QStringLiteral("Number of screen grid lines"));
    labelledRows(
        frame(client, QStringLiteral("FraDer"), QStringLiteral("Derivatives"), 700, 450, 68, 50),
        {{QStringLiteral("lblXder"), QStringLiteral("txtXder")},
         {QStringLiteral("lblYder"), QStringLiteral("txtYder")}},
        {QStringLiteral("x:"), QStringLiteral("y:")}, 14, 40);

    // Enter in an equation field plots, as Alt+P does.
    for (const char* name : {"txtEquationZ", "txtEquationY", "txtEquationX"})
        connect(qobject_cast<QLineEdit*>(controls_.value(QLatin1String(name))),
                &QLineEdit::returnPressed, this,
                [this] { buttonClicked(QStringLiteral("cmdPlot")); });
}

void frmVantro::applyStyle(QWidget* client)
{
    // &H00BBGGRR colours of the form, written here as #RRGGBB.
    const QColor tipBase = QToolTip::palette().color(QPalette::ToolTipBase);
    const QColor windowText = palette().color(QPalette::WindowText);
    client->setStyleSheet(
        QStringLiteral(
            "#client { background: #C0FFFF; }"
            "QGroupBox { background: #C0FFFF; border: 1px solid #7F9F9F; margin-top: 6px; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
            " left: 5px; padding: 0px 1px; }"
            "QLineEdit { background: #C0FFC0; border: 1px solid #7F7F7F; padding: 0px 1px; }"
            "QComboBox { background: #C0FFC0; border: 1px solid #7F7F7F; padding: 0px 1px; }"
            "QComboBox QAbstractItemView { background: #C0FFC0; }"
            "QCheckBox, QRadioButton { background: #C0FFC0; }"
            "QPushButton { background: #FFC0C0; border: 1px solid #7F5F5F; padding: 0px; }"
            "QPushButton:pressed { background: #E09F9F; }"
            "QPushButton:focus { border: 1px dotted #000000; }"
            "#cmdAddCons, #cmdRemCons { background: #00C0C0; }"
            "#cmdAddCons:pressed, #cmdRemCons:pressed { background: #009F9F; }"
            "QLabel { background: %1; color: %2; }")
            .arg(tipBase.name(), windowText.name()));
}

void frmVantro::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    auto item = [this](QWidget* parent, const QString& name, const QString& caption,
                       void (frmVantro::*handler)()) {
        auto* a = new QAction(caption, parent);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        parent->addAction(a);
        return a;
    };
    auto separator = [](QMenu* menu, const QString& name) {
        menu->addSeparator()->setObjectName(name);
    };
    item(file, QStringLiteral("mnuOpen"), QStringLiteral("Open"), &frmVantro::openSetup)
        ->setShortcut(QKeySequence::Open);
    separator(file, QStringLiteral("mnuFileBar1"));
    item(file, QStringLiteral("mnuSave"), QStringLiteral("Save"), &frmVantro::saveSetup)
        ->setShortcut(QKeySequence::Save);
    item(file, QStringLiteral("mnuSaveAs"), QStringLiteral("Save As"), &frmVantro::saveSetupAs)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    separator(file, QStringLiteral("mnuFileBar2"));
    auto* left = new QAction(QStringLiteral("Copy Left graph to clipboard"), file);
    left->setObjectName(QStringLiteral("mnuCopyLeft"));
    connect(left, &QAction::triggered, this, [this] { copyView(0); });
    file->addAction(left);
    auto* right = new QAction(QStringLiteral("Copy Right graph to clipboard"), file);
    right->setObjectName(QStringLiteral("mnuCopyRight"));
    connect(right, &QAction::triggered, this, [this] { copyView(1); });
    file->addAction(right);
    item(file, QStringLiteral("mnuCopyAnaglyph"), QStringLiteral("Copy anaglyph to clipboard"),
         &frmVantro::copyAnaglyph);
    item(file, QStringLiteral("mnuSaveImage"), QStringLiteral("Save image..."),
         &frmVantro::saveImage);
    item(file, QStringLiteral("mnuStereoViewer"), QStringLiteral("Stereo viewer"),
         &frmVantro::openStereoViewer)
        ->setShortcut(Qt::Key_F11);
    item(bar, QStringLiteral("mnuPrint"), QStringLiteral("Print"), &frmVantro::printSetup)
        ->setShortcut(QKeySequence::Print);
    item(bar, QStringLiteral("mnuHelp"), QStringLiteral("Help"), &frmVantro::showHelp)
        ->setShortcut(Qt::Key_F1);
    item(bar, QStringLiteral("mnuAbout"), QStringLiteral("About"), &frmVantro::showAbout);
    // Ctrl+Q closes the window, as its close button does.
    auto* quit = new QAction(QStringLiteral("Quit"), this);
    quit->setObjectName(QStringLiteral("actQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
}

void frmVantro::buildTabOrder()
{
    QStringList order = {
        QStringLiteral("txtEquationZ"),  QStringLiteral("txtEquationY"),
        QStringLiteral("txtEquationX"),  QStringLiteral("txtWindowlx"),
        QStringLiteral("txtWindowgx"),   QStringLiteral("txtWindowly"),
        QStringLiteral("txtWindowgy"),   QStringLiteral("txtWindowlz"),
        QStringLiteral("txtWindowgz"),   QStringLiteral("txtRangelxu"),
        QStringLiteral("txtRangegxu"),   QStringLiteral("txtRangelyv"),
        QStringLiteral("txtRangegyv"),   QStringLiteral("cmdPlot"),
        QStringLiteral("txtXrot"),       QStringLiteral("txtYrot"),
        QStringLiteral("txtZrot"),       QStringLiteral("txtXtr"),
        QStringLiteral("txtYtr"),        QStringLiteral("txtZtr"),
        QStringLiteral("txtSpacexu"),    QStringLiteral("txtSpaceyv"),
        QStringLiteral("txtSegsxu"),     QStringLiteral("txtSegsyv"),
        QStringLiteral("txtXorigin"),    QStringLiteral("txtYorigin"),
        QStringLiteral("txtZorigin"),    QStringLiteral("txtDivx"),
        QStringLiteral("txtDivy"),       QStringLiteral("txtDivz"),
        QStringLiteral("txtNdots"),      QStringLiteral("txtGrid"),
        QStringLiteral("txtStereo"),     QStringLiteral("txtReduce"),
        QStringLiteral("txtXder"),       QStringLiteral("txtYder"),
        QStringLiteral("cboConstants"),  QStringLiteral("chkLines"),
        QStringLiteral("chkDots"),       QStringLiteral("chkPersist"),
        QStringLiteral("chkParametric"), QStringLiteral("optBackclr_0"),
        QStringLiteral("optBackclr_1"),
    };
    for (const StepField& f : StepButtons::stepFields())
        order.append(f.control);
    // The controls without a place of their own follow: accuracy options, then the buttons.
    order << QStringLiteral("OptAccuracy_0") << QStringLiteral("OptAccuracy_1");
    for (const StepButton& b : StepButtons::table())
        order.append(b.button);
    for (const ZoomPanButton& z : ZoomPanButtons())
        order.append(z.button);
    order << QStringLiteral("cmdAddCons") << QStringLiteral("cmdRemCons");

    for (int i = 1; i < order.size(); ++i)
        setTabOrder(controls_.value(order[i - 1]), controls_.value(order[i]));
}

void frmVantro::attachFocusChecks()
{
    focusGuard_ = new FocusGuard(this, this);
    const FieldValidation::Evaluate evaluate = [this](const QString& control, const QString& text,
                                                      double& value) {
        return session_->evaluateField(text, value, {Subject::Kind::Field, control.mid(3)});
    };
    for (const QString& name : FieldValidation::focusSelectFields())
        if (auto* e = qobject_cast<QLineEdit*>(controls_.value(name)))
            focusGuard_->selectOnEntry(e);
    for (const QString& name : FieldValidation::validatedFields())
        focusGuard_->validate(controls_.value(name), [this, name, evaluate] {
            return FieldValidation::validate(name, *this, evaluate);
        });
    for (const QString& name : FieldValidation::limitFields())
        focusGuard_->onLeave(controls_.value(name), [this, name, evaluate] {
            return controls_.value(FieldValidation::limitPairPartner(name, *this, evaluate));
        });
    for (const QString& name : FieldValidation::derivativeFields())
        focusGuard_->onLeave(controls_.value(name), [this, name] {
            return controls_.value(FieldValidation::derivativeSumPartner(name, *this));
        });
    qApp->installEventFilter(focusGuard_);
}

void frmVantro::buttonClicked(const QString& name)
{
    if (name == QLatin1String("cmdRemCons")) {
        session_->removeConstant(selectedConstant());
        return;
    }
    session_->press(name);
}

int frmVantro::selectedConstant() const
{
    const int index = constants_->currentIndex();
    if (index < 0 || constants_->itemText(index) != constants_->currentText()) return -1;
    return index;
}

// ---- menu commands

void frmVantro::openSetupFile(const QString& path)
{
    dialogs_.remember(path);
    session_->setSetupFileName(path);
    session_->openSetup(path);
}

void frmVantro::openSetup()
{
    const QString path = dialogs_.setupFile(this, false);
    if (!path.isEmpty()) openSetupFile(path);
}

void frmVantro::saveSetup()
{
    if (session_->setupFileName().isEmpty()) {
        saveSetupAs(); // the dialog has asked before replacing a file
        return;
    }
    session_->saveAgain();
}

void frmVantro::saveSetupAs()
{
    const QString path = dialogs_.setupFile(this, true);
    if (path.isEmpty()) return;
    session_->setSetupFileName(path);
    session_->saveSetup(path);
}

void frmVantro::copyView(int index)
{
    CopyPictureToClipboard(session_->viewImage(index));
}

void frmVantro::copyAnaglyph()
{
    CopyPictureToClipboard(StereoImages::anaglyph(session_->viewImage(0), session_->viewImage(1)));
}

void frmVantro::saveImage()
{
    const QStringList& filters = ImageExport::filters();
    QString chosen = filters.first();
    const QString path = dialogs_.imageFile(this, filters, chosen);
    if (path.isEmpty()) return;
    ImageExport::Choice choice;
    if (!ImageExport::choiceOf(chosen, choice)) ImageExport::choiceOf(filters.first(), choice);
    const QString file = ImageExport::withSuffix(path, choice);
    ImageExport::Options options;
    if (!dialogs_.imageOptions(this, options)) return;
    QString error;
    if (!ImageExport::save(*session_, file, choice, options, error)) showMessage(error, QString());
}

void frmVantro::printSetup()
{
    // The setup is read before the dialog: a field the engine refuses ends the command there.
    QStringList lines;
    if (!session_->reportLines(lines)) return;
    QPrinter printer;
    // Without a printer the dialog offers printing to a PDF file ("Print to File").
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(
            QDir(dialogs_.folder()).absoluteFilePath(QStringLiteral("tavrigon.pdf")));
    }
    if (!dialogs_.printer(this, printer)) return;
    // Print to file goes through the safe write, as every file the program writes.
    const CapturedPlot plot = session_->capturedPlot();
    const PlotExport exporter(plot, session_->plotTools(), false);
    QString error;
    const bool toFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    if (!(toFile ? exporter.writePdf(printer.outputFileName(), printer.pageLayout(), lines, error)
                 : exporter.print(printer, lines, error)))
        showMessage(error, QString());
}

void frmVantro::showHelp()
{
    const QString path = HelpFile::locate(session_->startDir());
    if (!help_) help_ = new HelpViewer(this);
    QString error;
    if (!help_->showFile(path, error)) {
        showMessage(error, QString());
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void frmVantro::showAbout()
{
    if (!about_) about_ = new frmAbout(this);
    about_->show();
    about_->raise();
    update();
    for (const QString& line : ProductText::aboutLines())
        about_->printLine(line);
}

void frmVantro::openStereoViewer()
{
    if (!viewer_)
        viewer_ = new StereoViewer(
            *session_, [this] { return focusGuard_->focusMayLeave(); }, this);
    viewer_->open();
}

bool frmVantro::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == views_[0] || watched == views_[1])) {
        openStereoViewer();
        return true;
    }
    // Only while plotting, and not into a message box or dialog that runs its own loop.
    if (event->type() == QEvent::KeyPress && session_ && session_->isPlotting() &&
        !QApplication::activeModalWidget()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            session_->cancelPlot();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmVantro::closeEvent(QCloseEvent* event)
{
    session_->cancelPlot();
    if (about_) about_->close();
    if (help_) help_->close();
    if (viewer_) viewer_->close();
    event->accept();
}

// ---- FormFields

QString frmVantro::text(const QString& control) const
{
    QWidget* w = controls_.value(control);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    return {};
}

void frmVantro::setText(const QString& control, const QString& text)
{
    QWidget* w = controls_.value(control);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
        e->setCursorPosition(0);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setEditText(text);
    }
}

bool frmVantro::isChecked(const QString& control) const
{
    auto* c = qobject_cast<QCheckBox*>(controls_.value(control));
    return c && c->isChecked();
}

void frmVantro::setChecked(const QString& control, bool checked)
{
    if (auto* c = qobject_cast<QCheckBox*>(controls_.value(control))) c->setChecked(checked);
}

int frmVantro::option(const QString& group) const
{
    for (int i = 0; i < 2; ++i) {
        auto* r = qobject_cast<QRadioButton*>(controls_.value(optionName(group, i)));
        if (r && r->isChecked()) return i;
    }
    return 0;
}

void frmVantro::setOption(const QString& group, int index)
{
    if (auto* r = qobject_cast<QRadioButton*>(controls_.value(optionName(group, index))))
        r->setChecked(true);
}

QString frmVantro::caption(const QString& control) const
{
    QWidget* w = controls_.value(control);
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (control == objectName()) return windowTitle();
    return {};
}

void frmVantro::setCaption(const QString& control, const QString& caption)
{
    QWidget* w = controls_.value(control);
    if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(caption);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(caption);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(caption);
    else if (control == objectName())
        setWindowTitle(caption);
}

QString frmVantro::toolTip(const QString& control) const
{
    QWidget* w = controls_.value(control);
    return w ? w->toolTip() : QString();
}

void frmVantro::setToolTip(const QString& control, const QString& toolTip)
{
    if (QWidget* w = controls_.value(control)) w->setToolTip(toolTip);
}

bool frmVantro::isShown(const QString& control) const
{
    QWidget* w = controls_.value(control);
    return w && !w->isHidden();
}

void frmVantro::setShown(const QString& control, bool shown)
{
    if (QWidget* w = controls_.value(control)) w->setVisible(shown);
}

// ---- SessionHost

void frmVantro::showMessage(const QString& text, const QString& caption)
{
    report(Message{text, caption, 0, -1, Subject(), QString()});
}

void frmVantro::report(const Message& message)
{
    const QString title = message.caption.isEmpty() ? ProductText::title() : message.caption;
    if (interaction_) interaction_->endDrag();
    QString text = message.text;
    if (message.subject.kind == Subject::Kind::Constant)
        text += QStringLiteral("\nIn the user constant %1").arg(message.subject.name);
    if (!message.hint.isEmpty()) text += QLatin1Char('\n') + message.hint;
    if (messageSink_)
        messageSink_(text, title);
    else {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    }
    if (message.subject.kind != Subject::Kind::Field) return;
    auto* e =
        qobject_cast<QLineEdit*>(controls_.value(QStringLiteral("txt") + message.subject.name));
    if (!e || !focusGuard_) return;
    activateWindow(); // back from the box, also where no window manager gives the focus back
    focusGuard_->focusFrom(e, int(qMax<qsizetype>(message.position, 0)));
}

void frmVantro::note(const Message& message)
{
    if (message.subject.kind != Subject::Kind::Field) return;
    auto* e =
        qobject_cast<QLineEdit*>(controls_.value(QStringLiteral("txt") + message.subject.name));
    if (!e || !e->isVisible()) return;
    // Beside the field, gone after a while or at the next move of the mouse or a key.
    QToolTip::showText(e->mapToGlobal(QPoint(0, e->height())), message.text, e, QRect(), 10000);
}

bool frmVantro::ask(const QString& question, const QString& caption)
{
    if (interaction_) interaction_->endDrag();
    if (questionSink_) return questionSink_(question);
    const QString title = caption.isEmpty() ? ProductText::title() : caption;
    return QMessageBox::question(this, title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void frmVantro::processEvents()
{
    if (session_->isPlotting()) progress_->plotRunning(session_->plotProgress());
    QCoreApplication::processEvents();
}

void frmVantro::beep()
{
    QApplication::beep();
}

void frmVantro::setBusy(bool busy)
{
    if (busy) {
        if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
        if (progress_) progress_->plotStarted();
    } else {
        if (busyDepth_ > 0 && --busyDepth_ == 0) {
            QApplication::restoreOverrideCursor();
            if (viewer_) viewer_->plotEnded(); // the viewer shows the same plot
        }
        if (progress_) progress_->plotEnded();
    }
}

void frmVantro::viewsChanged()
{
    for (ViewWidget* v : views_)
        if (v) v->sync();
}

void frmVantro::constantsChanged()
{
    // Refilling the list leaves the edit text alone: only typing and the program's own text
    // changes count as edits.
    const QSignalBlocker blocker(constants_);
    const QString text = constants_->currentText();
    constants_->clear();
    constants_->addItems(session_->constantList());
    constants_->setCurrentIndex(-1);
    constants_->setEditText(text);
}
