#pragma once

#include <QWidget>

class DrawingSurface;

// Shows one view of the session (the picture box) at the view's own geometry: Left, Width and
// Height come from the surface, the top is always 0.
class ViewWidget : public QWidget
{
    Q_OBJECT
public:
    ViewWidget(DrawingSurface& surface, QWidget* parent);

    DrawingSurface& surface() { return surface_; }

    // Follows the surface's geometry and schedules a repaint of its pixels.
    void sync();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DrawingSurface& surface_;
};
