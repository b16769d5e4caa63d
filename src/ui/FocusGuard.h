#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QLineEdit;
class QWidget;

// The focus behaviour of one window's fields, as one application event filter:
// - selection of the whole text when a field receives the focus;
// - a cancellable validation: while a field's check refuses, every way the focus could leave
//   it within the window (Tab, Shift+Tab, a click on another control, a mnemonic) is swallowed,
//   so the clicked button does not act; menu commands take no focus and are not held back;
// - a focus-lost handler that may name another field to receive the focus, run once the
//   focus has settled (and only after the validation let the focus go).
class FocusGuard : public QObject
{
    Q_OBJECT
public:
    using Check = std::function<bool()>;     // true: the focus may leave
    using Leave = std::function<QWidget*()>; // the field to send the focus to, or null

    explicit FocusGuard(QWidget* window, QObject* parent = nullptr);

    void selectOnEntry(QLineEdit* field);
    void validate(QWidget* field, Check check);
    void onLeave(QWidget* field, Leave leave);

    // Whether the focused field of the window lets the focus go now: runs its check, as an
    // attempt to leave it would. True when no field of the window with a check has the focus.
    bool focusMayLeave() { return mayLeaveFor(nullptr); }

    // Gives a field the focus with its text from position `from` to the end selected (the
    // place an engine message points at), instead of the whole text.
    void focusFrom(QLineEdit* field, int from);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the check of the focused field when the focus is about to go to target.
    bool mayLeaveFor(QWidget* target);
    QWidget* focusTargetAt(QObject* windowHandle, const QPointF& pos) const;
    void selectEntered(QLineEdit* field);

    QPointer<QWidget> window_;
    QPointer<QWidget> lastFocus_; // the window's control that last received the focus
    QHash<QObject*, QPointer<QLineEdit>> select_;
    QHash<QObject*, Check> checks_;
    QHash<QObject*, Leave> leaves_;
    bool checking_ = false;
    QPointer<QLineEdit> selectFromField_;
    int selectFrom_ = 0;
};
