#include "ui/HelpViewer.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tavrigon Help"));
    resize(640, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("browser"));
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
}

bool HelpViewer::showFile(const QString& path, QString& error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open the help file %1.").arg(path);
        return false;
    }
    const QString content = QString::fromUtf8(file.readAll());
    if (Qt::mightBeRichText(content))
        browser_->setHtml(content);
    else
        browser_->setPlainText(content);
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    return true;
}
