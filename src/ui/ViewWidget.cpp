#include "ui/ViewWidget.h"

#include "render/DrawingSurface.h"

#include <QPainter>

ViewWidget::ViewWidget(DrawingSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    sync();
}

void ViewWidget::sync()
{
    const QRect wanted(surface_.left(), 0, surface_.width(), surface_.height());
    if (geometry() != wanted) setGeometry(wanted);
    update();
}

void ViewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage image = surface_.image();
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, image);
}
