#pragma once

#include <QObject>
#include <QPointF>
#include <functional>

class QWidget;
class Session;

// Turning and zooming with the mouse over the views, as an event filter on them:
// - a drag with the left button turns the surface by a degree per pixel: moving right adds
//   to txtZrot, moving down adds to txtYrot (the part of the surface nearest the eye follows
//   the pointer); each field is rewritten as the step buttons do it and the surface is
//   replotted as the pointer moves;
// - each notch of the wheel (120ths of angle, summed) presses cmdZoomIn when turned up and
//   cmdZoomOut when turned down.
// Neither starts while the focused field refuses to let the focus go.
//
// Movements are applied from the last applied position, so the texts follow every pixel even
// when a move arrives during a plot; Session lets the newest plot win.
class ViewInteraction : public QObject
{
    Q_OBJECT
public:
    using MayAct = std::function<bool()>; // false while a field keeps the focus

    ViewInteraction(Session& session, MayAct mayAct, QObject* parent = nullptr);

    void watch(QWidget* view);
    bool isDragging() const { return dragging_; }
    // Ends a drag, as when a message box takes the pointer; the next press starts afresh.
    void endDrag() { dragging_ = false; }

    static constexpr double DegreesPerPixel = 1.0;
    static constexpr int AnglePerNotch = 120;

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // The left button was released after a drag.
    void dragEnded();

private:
    bool press(const QPointF& globalPos);
    void move(const QPointF& globalPos);
    void wheel(int angle);
    void addToField(const QString& control, double degrees);

    Session& session_;
    MayAct mayAct_;
    bool dragging_ = false;
    QPointF applied_;    // the pointer's global position the fields last took in
    int wheelAngle_ = 0; // the part of a notch turned so far
};
