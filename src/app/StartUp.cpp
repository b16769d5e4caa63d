#include "app/StartUp.h"

#include "app/ProcessDecimalSeparator.h"
#include "app/WindowArguments.h"
#include "render/DrawingSurface.h"
#include "session/Session.h"
#include "ui/AxesPicture.h"
#include "ui/ProductText.h"
#include "ui/frmVantro.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QThread>

namespace {
constexpr quint32 SplashColour = 0x0080FF; // &H0080FF, orange
} // namespace

DecimalSeparatorGuard::Answer StartUp::askDecimalSeparator(const QString& title,
                                                           const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return DecimalSeparatorGuard::Answer::Yes;
    case QMessageBox::No:
        return DecimalSeparatorGuard::Answer::No;
    default:
        return DecimalSeparatorGuard::Answer::Cancel;
    }
}

int StartUp::run(int argc, char** argv, const WindowArguments& arguments)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ProductText::title());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavrigon.Tavrigon"));

    ProcessDecimalSeparator separator;
    DecimalSeparatorGuard guard(separator, askDecimalSeparator);
    if (!guard.CheckDecimalSeparator()) return 0;

    int status = 0;
    {
        frmVantro window;
        if (arguments.seed) window.session().seedRandom(*arguments.seed);
        showAndPlot(window, waitForClock, arguments.file);
        // Closed during the first plot: there is no window left to wait for.
        if (window.isVisible()) status = QApplication::exec();
    }
    guard.RestoreDecimalSeparator();
    return status;
}

void StartUp::showAndPlot(frmVantro& window, const Wait& wait, const QString& file)
{
    Session& session = window.session();
    DrawingSurface& left = session.view(0);
    left.setPicture(AxesPicture::make());
    window.show();

    DrawingSurface& right = session.view(1);
    right.setFont(QStringLiteral("Times New Roman"), 18, true);
    right.setForeColor(SplashColour);
    for (const QString& line : ProductText::splashLines())
        right.printLine(line);
    window.viewsChanged();

    QCoreApplication::processEvents();
    if (wait) wait();
    if (!file.isEmpty()) window.openSetupFile(file);
    session.press(QStringLiteral("cmdPlot"));
}

void StartUp::waitForClock()
{
    const qint64 start = QDateTime::currentSecsSinceEpoch();
    while (QDateTime::currentSecsSinceEpoch() - start <= 2)
        QThread::msleep(20);
}
