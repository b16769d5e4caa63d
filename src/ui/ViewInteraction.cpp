#include "ui/ViewInteraction.h"

#include "session/Session.h"
#include "setup/FormFields.h"
#include "setup/NumberText.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>

ViewInteraction::ViewInteraction(Session& session, MayAct mayAct, QObject* parent)
    : QObject(parent), session_(session), mayAct_(std::move(mayAct))
{
}

void ViewInteraction::watch(QWidget* view)
{
    view->installEventFilter(this);
}

bool ViewInteraction::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) break;
        return press(mouse->globalPosition());
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!dragging_) break;
        if (!(mouse->buttons() & Qt::LeftButton)) {
            dragging_ = false; // the release went elsewhere
            break;
        }
        move(mouse->globalPosition());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !dragging_) break;
        dragging_ = false;
        Q_EMIT dragEnded();
        return true;
    }
    case QEvent::Wheel:
        wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool ViewInteraction::press(const QPointF& globalPos)
{
    if (mayAct_ && !mayAct_()) return false;
    dragging_ = true;
    applied_ = globalPos;
    return true;
}

void ViewInteraction::move(const QPointF& globalPos)
{
    // Whole pixels only; a fraction waits for the next move.
    const double dx = std::trunc(globalPos.x() - applied_.x());
    const double dy = std::trunc(globalPos.y() - applied_.y());
    if (dx == 0 && dy == 0) return;
    applied_ += QPointF(dx, dy);
    if (dx != 0) addToField(QStringLiteral("txtZrot"), dx * DegreesPerPixel);
    if (dy != 0) addToField(QStringLiteral("txtYrot"), dy * DegreesPerPixel);
    // During a plot this supersedes it; otherwise it plots now.
    session_.plot();
}

void ViewInteraction::addToField(const QString& control, double degrees)
{
    FormFields& fields = session_.fields();
    fields.setText(control, FormatNumber15(LeadingNumber(fields.text(control)) + degrees));
}

void ViewInteraction::wheel(int angle)
{
    if (angle == 0) return;
    // A turn back drops what was gathered the other way.
    if ((angle > 0) != (wheelAngle_ > 0) && wheelAngle_ != 0) wheelAngle_ = 0;
    wheelAngle_ += angle;
    const int notches = wheelAngle_ / AnglePerNotch;
    if (notches == 0) return;
    wheelAngle_ -= notches * AnglePerNotch;
    if (mayAct_ && !mayAct_()) {
        wheelAngle_ = 0;
        return;
    }
    const QString button = notches > 0 ? QStringLiteral("cmdZoomIn") : QStringLiteral("cmdZoomOut");
    for (int i = 0; i < std::abs(notches); ++i)
        session_.press(button);
}
