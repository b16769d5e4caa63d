#pragma once

#include <QElapsedTimer>
#include <QWidget>

// A thin bar along the bottom edge of a view that shows how much of a long plot is done. It
// stays hidden for the first half second of a plot, so short plots never show it, and goes
// as soon as the plot ends.
class PlotProgress : public QWidget
{
    Q_OBJECT
public:
    explicit PlotProgress(QWidget* view);

    static constexpr int DelayMs = 500;
    static constexpr int Thickness = 3;

    void plotStarted();
    // At the plot's pending-event points: the share done, 0 to 1. Shows the bar once the
    // plot has run for DelayMs.
    void plotRunning(double fraction);
    // Hides the bar; a plot that goes on shows it again at its next pending-event point.
    void plotEnded();

    double fraction() const { return fraction_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QElapsedTimer clock_;
    double fraction_ = 0;
};
