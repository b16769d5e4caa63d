#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// A setup file dropped anywhere on a window (its fields included) is opened, as Open does.
// Drags of anything but one local file are left to the widget under the pointer.
class SetupDrop : public QObject
{
    Q_OBJECT
public:
    using Open = std::function<void(const QString& path)>;

    SetupDrop(QWidget* window, Open open);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    Open open_;
};
