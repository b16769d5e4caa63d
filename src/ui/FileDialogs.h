#pragma once

#include "ui/ImageExport.h"

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
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

    // The size and labels of that image; false when cancelled.
    using OptionsChooser = std::function<bool(ImageExport::Options& options)>;

    // The print dialog on a printer set up by the caller; false when cancelled.
    using PrintChooser = std::function<bool(QPrinter& printer)>;

    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    void setPrintChooser(PrintChooser chooser) { printChooser_ = std::move(chooser); }
    // A test that chooses the file and no options gets the defaults (1x, no labels).
    void setImageChooser(ImageChooser chooser, OptionsChooser options = {})
    {
        imageChooser_ = std::move(chooser);
        optionsChooser_ = options ? std::move(options) : [](ImageExport::Options&) { return true; };
    }

    QString setupFile(QWidget* parent, bool save);
    QString imageFile(QWidget* parent, const QStringList& filters, QString& chosen);
    bool imageOptions(QWidget* parent, ImageExport::Options& options);
    bool printer(QWidget* parent, QPrinter& printer);

    // The folder of a file used: the next dialog starts there.
    void remember(const QString& path);
    const QString& folder() const { return folder_; }

private:
    Chooser chooser_;
    ImageChooser imageChooser_;
    OptionsChooser optionsChooser_;
    PrintChooser printChooser_;
    QString folder_;
};
