#pragma once

#include <QWidget>

class QTextBrowser;

// The help window: shows the help file as a whole, HTML or plain text.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Loads the file; false with a message naming the path when it cannot be read.
    bool showFile(const QString& path, QString& error);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};
