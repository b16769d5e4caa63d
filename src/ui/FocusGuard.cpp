#include "ui/FocusGuard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace {
// Focus changes that are no move to another control: menus, popups, window switches.
bool isTransient(Qt::FocusReason reason)
{
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
           reason == Qt::MenuBarFocusReason;
}
} // namespace

FocusGuard::FocusGuard(QWidget* window, QObject* parent) : QObject(parent), window_(window) {}

void FocusGuard::selectOnEntry(QLineEdit* field)
{
    select_.insert(field, field);
}

void FocusGuard::validate(QWidget* field, Check check)
{
    checks_.insert(field, std::move(check));
}

void FocusGuard::onLeave(QWidget* field, Leave leave)
{
    leaves_.insert(field, std::move(leave));
}

bool FocusGuard::mayLeaveFor(QWidget* target)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !window_ || focused->window() != window_ || checking_) return true;
    const auto check = checks_.constFind(focused);
    if (check == checks_.constEnd()) return true;
    if (target && (target == focused || focused->isAncestorOf(target))) return true;
    // A check may show the engine's message box; its events must not re-enter here.
    checking_ = true;
    const bool ok = (*check)();
    checking_ = false;
    return ok;
}

// The control a click at pos (in the window's coordinates) would give the focus to, or null
// when the click would leave the focus where it is (labels, frames, the views, the menu bar).
QWidget* FocusGuard::focusTargetAt(QObject* windowHandle, const QPointF& pos) const
{
    if (!window_ || window_->windowHandle() != windowHandle) return nullptr;
    QWidget* w = window_->childAt(pos.toPoint());
    for (; w && w != window_; w = w->parentWidget()) {
        if (qobject_cast<QMenuBar*>(w)) return nullptr;
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) return w;
    }
    return nullptr;
}

void FocusGuard::focusFrom(QLineEdit* field, int from)
{
    selectFromField_ = field;
    selectFrom_ = from;
    field->setFocus(Qt::OtherFocusReason);
    QTimer::singleShot(0, field, [this, field] { selectEntered(field); });
}

// Runs once the focus has settled: a field the focus has already left since (a limit check
// sent it to the partner) stays unselected.
void FocusGuard::selectEntered(QLineEdit* field)
{
    if (!field->hasFocus()) return;
    if (field != selectFromField_) {
        field->selectAll();
        return;
    }
    const int length = int(field->text().size());
    const int from = qMin(selectFrom_, length);
    field->setSelection(from, length - from);
}

bool FocusGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn: {
        // Coming back to the field that had the focus (after a menu, a popup or another
        // window) is no entry; the window's first focus on opening is one. A field a message
        // points at gets its selection also when the focus comes back to it (Enter in the
        // field showed the message: the window regains the focus only after the box).
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool entry = !isTransient(reason) || watched != lastFocus_;
        if (auto* w = qobject_cast<QWidget*>(watched); w && window_ && w->window() == window_)
            lastFocus_ = w;
        if (!entry && watched != selectFromField_) break;
        if (QLineEdit* field = select_.value(watched))
            QTimer::singleShot(0, field, [this, field] { selectEntered(field); });
        break;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (watched == selectFromField_ && !isTransient(reason)) selectFromField_ = nullptr;
        const auto leave = leaves_.constFind(watched);
        if (isTransient(reason) || leave == leaves_.constEnd()) break;
        QTimer::singleShot(0, this, [this, field = QPointer<QObject>(watched)] {
            const auto handler = leaves_.constFind(field.data());
            if (!field || handler == leaves_.constEnd()) return;
            if (QWidget* partner = (*handler)()) partner->setFocus(Qt::OtherFocusReason);
        });
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            watched == QApplication::focusWidget() && !mayLeaveFor(nullptr))
            return true;
        break;
    }
    case QEvent::Shortcut: {
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target->window() == window_ && !mayLeaveFor(target)) return true;
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!watched->isWindowType()) break;
        QWidget* target = focusTargetAt(watched, static_cast<QMouseEvent*>(event)->position());
        if (target && !mayLeaveFor(target)) return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
