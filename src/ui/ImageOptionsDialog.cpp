#include "ui/ImageOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

ImageOptionsDialog::ImageOptionsDialog(QWidget* parent)
    : QDialog(parent), size_(new QComboBox(this)),
      labels_(new QCheckBox(QStringLiteral("Labels"), this)),
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
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Size:"), size_);
    form->addRow(labels_);
    form->addRow(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(size_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(ImageExport::scaleOf(text) > 0);
    });
}

ImageExport::Options ImageOptionsDialog::options() const
{
    return {ImageExport::scaleOf(size_->currentText()), labels_->isChecked()};
}
