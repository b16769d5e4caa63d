#pragma once

#include "ui/ImageExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;

// The size and labels of a saved image, asked after the file is chosen: "1×", "2×", "4×" or
// a factor typed in the box (1 to 16), and the "Labels" check box. OK stays disabled while the
// size is not a factor.
class ImageOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ImageOptionsDialog(QWidget* parent = nullptr);

    ImageExport::Options options() const;

    QComboBox* sizeBox() const { return size_; }
    QCheckBox* labelsBox() const { return labels_; }

private:
    QComboBox* size_;
    QCheckBox* labels_;
    QDialogButtonBox* buttons_;
};
