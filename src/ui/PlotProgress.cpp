#include "ui/PlotProgress.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

PlotProgress::PlotProgress(QWidget* view) : QWidget(view)
{
    setObjectName(QStringLiteral("plotProgress"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void PlotProgress::plotStarted()
{
    clock_.start();
    fraction_ = 0;
    hide();
}

void PlotProgress::plotRunning(double fraction)
{
    if (!clock_.isValid() || clock_.elapsed() < DelayMs) return;
    const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    QWidget* view = parentWidget();
    const QRect wanted(0, view->height() - Thickness, view->width(), Thickness);
    if (geometry() != wanted) setGeometry(wanted);
    if (isHidden()) {
        raise();
        show();
    }
    if (f != fraction_) {
        fraction_ = f;
        update();
    }
}

void PlotProgress::plotEnded()
{
    fraction_ = 0;
    hide();
}

void PlotProgress::paintEvent(QPaintEvent*)
{
    // Blue over grey shows on the white and the black background alike.
    QPainter painter(this);
    const int done = int(std::lround(fraction_ * width()));
    painter.fillRect(QRect(0, 0, done, height()), QColor(0x30, 0x90, 0xFF));
    painter.fillRect(QRect(done, 0, width() - done, height()), QColor(0x80, 0x80, 0x80));
}
