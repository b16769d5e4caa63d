#include "ui/FileDialogs.h"

#include "ui/ImageOptionsDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>

QString FileDialogs::setupFile(QWidget* parent, bool save)
{
    const QString path = chooser_ ? chooser_(save, folder_)
                         : save   ? QFileDialog::getSaveFileName(parent, QString(), folder_)
                                  : QFileDialog::getOpenFileName(parent, QString(), folder_);
    remember(path);
    return path;
}

QString FileDialogs::imageFile(QWidget* parent, const QStringList& filters, QString& chosen)
{
    const QString path =
        imageChooser_ ? imageChooser_(filters, chosen, folder_)
                      : QFileDialog::getSaveFileName(parent, QStringLiteral("Save image"), folder_,
                                                     filters.join(QStringLiteral(";;")), &chosen);
    remember(path);
    return path;
}

bool FileDialogs::imageOptions(QWidget* parent, ImageExport::Options& options)
{
    if (optionsChooser_) return optionsChooser_(options);
    ImageOptionsDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.options();
    return true;
}

bool FileDialogs::printer(QWidget* parent, QPrinter& printer)
{
    if (printChooser_) return printChooser_(printer);
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void FileDialogs::remember(const QString& path)
{
    if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
}
