#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

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

void FileDialogs::remember(const QString& path)
{
    if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
}
