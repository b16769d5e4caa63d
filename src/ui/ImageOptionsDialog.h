#pragma once

#include "ui/ImageExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;

// The size, labels and look of a saved image, asked after the file is chosen: "1×", "2×", "4×"
// or a factor typed in the box (1 to 16), the "Labels", "Hidden lines" and "Solid" check boxes,
// the colour (none, by height, by depth) and the projection (oblique, orthographic). OK stays
// disabled while the size is not a factor.
class ImageOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ImageOptionsDialog(QWidget* parent = nullptr);

    ImageExport::Options options() const;

    QComboBox* sizeBox() const { return size_; }
    QCheckBox* labelsBox() const { return labels_; }
    QCheckBox* hiddenBox() const { return hidden_; }
    QCheckBox* solidBox() const { return solid_; }
    QComboBox* colourBox() const { return colour_; }
    QComboBox* projectionBox() const { return projection_; }

private:
    QComboBox* size_;
    QCheckBox* labels_;
    QCheckBox* hidden_;
    QCheckBox* solid_;
    QComboBox* colour_;
    QComboBox* projection_;
    QDialogButtonBox* buttons_;
};
