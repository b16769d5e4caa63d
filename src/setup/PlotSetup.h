#pragma once

#include "setup/DrawOptions.h"

#include <QString>
#include <QtGlobal>

// The one record of plot parameters, named after the controls without their "txt" prefix,
// with the values derived from them. Geometry is single precision, counts 32-bit signed.
// With the drawing options captured at the same read, it is all a plot is drawn from.
struct PlotSetup
{
    float Windowlx = 0, Windowgx = 0, Windowly = 0, Windowgy = 0, Windowlz = 0, Windowgz = 0;
    float Rangelxu = 0, Rangegxu = 0, Rangelyv = 0, Rangegyv = 0;
    float Xorigin = 0, Yorigin = 0, Zorigin = 0;
    float Divx = 0, Divy = 0, Divz = 0;
    float Xrot = 0, Yrot = 0, Zrot = 0;
    float Xtr = 0, Ytr = 0, Ztr = 0;
    float EyeFactor[2] = {0, 0}; // [0] is Stereo; [1] only ever set by opening a setup file
    float Reduce = 0;

    qint32 Spacexu = 0, Spaceyv = 0, Segsxu = 0, Segsyv = 0, Grid = 0, Ndots = 0;
    qint32 Xder = 0, Yder = 0;

    QString EquationZ, EquationX, EquationY;

    // Derived by the field reader.
    float SpanX = 0, SpanY = 0, SpanZ = 0;
    float StepXu = 0, StepYv = 0, SegXu = 0, SegYv = 0;
    float Xmid = 0, RatioYX = 0, RatioZX = 0;
    qint32 DerivSelector = 0;

    DrawOptions Options;

    float stereo() const { return EyeFactor[0]; }
};
