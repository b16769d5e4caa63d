#include "ui/ImageOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

ImageOptionsDialog::ImageOptionsDialog(QWidget* parent)
    : QDialog(parent), size_(new QComboBox(this)),
      labels_(new QCheckBox(QStringLiteral("Labels"), this)),
      hidden_(new QCheckBox(QStringLiteral("Hidden lines"), this)),
      solid_(new QCheckBox(QStringLiteral("Solid"), this)), colour_(new QComboBox(this)),
      projection_(new QComboBox(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(QStringLiteral("Save image"));
    size_->setObjectName(QStringLiteral("cboImageSize"));
    labels_->setObjectName(QStringLiteral("chkImageLabels"));
    size_->setEditable(true);
    size_->addItems({QStringLiteral("1×"), QStringLiteral("2×"), QStringLiteral("4×")});
    size_->setToolTip(QStringLiteral("The image drawn at this many times the size of the views "
                                     "(1 to 16)"));
    labels_->setToolTip(QStringLiteral("The letters x, y, z and the tick values on the axes"));
    hidden_->setObjectName(QStringLiteral("chkImageHidden"));
    hidden_->setToolTip(QStringLiteral("Leave out the lines and dots behind the surface"));
    solid_->setObjectName(QStringLiteral("chkImageSolid"));
    solid_->setToolTip(QStringLiteral("Fill the surface, shaded, with its lines on top"));
    colour_->setObjectName(QStringLiteral("cboImageColour"));
    colour_->addItems(
        {QStringLiteral("None"), QStringLiteral("By height"), QStringLiteral("By depth")});
    projection_->setObjectName(QStringLiteral("cboImageProjection"));
    projection_->addItems({QStringLiteral("Oblique"), QStringLiteral("Orthographic")});
    projection_->setToolTip(QStringLiteral("Orthographic: seen along the depth axis, one scale on "
                                           "x, y and z"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Size:"), size_);
    form->addRow(labels_);
    form->addRow(hidden_);
    form->addRow(solid_);
    form->addRow(QStringLiteral("Colour:"), colour_);
    form->addRow(QStringLiteral("Projection:"), projection_);
    form->addRow(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(size_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(ImageExport::scaleOf(text) > 0);
    });
}

ImageExport::Options ImageOptionsDialog::options() const
{
    SurfaceLook look;
    look.Hidden = hidden_->isChecked();
    look.Solid = solid_->isChecked();
    look.Colouring = SurfaceLook::Colour(colour_->currentIndex());
    look.Orthographic = projection_->currentIndex() == 1;
    return {ImageExport::scaleOf(size_->currentText()), labels_->isChecked(), look};
}
