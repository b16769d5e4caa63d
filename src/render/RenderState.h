#pragma once

#include <QtGlobal>

// The views of the window between plots: their design geometry, the width after the last
// reduction factor, and whether a plot is shown.
struct RenderState
{
    bool PlotShown = false;
    qint32 PicLeft0 = 0, PicWidth0 = 0, PicHeight0 = 0, PicHeight1 = 0;
    qint32 ReducedWidth = 0;
};
