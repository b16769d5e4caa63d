#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The file dialogs of the menu commands. Each starts in the folder of the file last chosen,
// opened or saved during the run (the start directory before that); nothing is kept between
// runs. The tests put choosers in place of the dialogs.
class FileDialogs
{
public:
    // Setup files: the name chosen, empty when cancelled.
    using Chooser = std::function<QString(bool save, const QString& folder)>;
    // "Save image...": offered the type list, it returns the name and sets the type chosen.
    using ImageChooser =
        std::function<QString(const QStringList& filters, QString& chosen, const QString& folder)>;

    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    void setImageChooser(ImageChooser chooser) { imageChooser_ = std::move(chooser); }

    QString setupFile(QWidget* parent, bool save);
    QString imageFile(QWidget* parent, const QStringList& filters, QString& chosen);

    // The folder of a file used: the next dialog starts there.
    void remember(const QString& path);
    const QString& folder() const { return folder_; }

private:
    Chooser chooser_;
    ImageChooser imageChooser_;
    QString folder_;
};
