#pragma once

// What drawing a plot asks of its surroundings: the window lets its events run (where a
// cancel may arrive), repaints the views and puts the busy pointer back; the command line,
// the tests and the benchmarks need none of it (NullDrawHost). A cancel reaches the drawing
// through PlotDriver::requestCancel, and the share drawn is read from PlotDriver::progress.
class DrawHost
{
public:
    virtual ~DrawHost() = default;

    virtual void runEvents() = 0;    // let pending events run
    virtual void repaint() = 0;      // the views' pixels changed: show them
    virtual void drawingEnded() = 0; // the drawing stopped: the pointer back to normal
};

class NullDrawHost final : public DrawHost
{
public:
    void runEvents() override {}
    void repaint() override {}
    void drawingEnded() override {}
};
