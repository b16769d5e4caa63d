#pragma once

#include "setup/PlotSetup.h"

// Fills the values the field reader derives from the window, domain and counts.
inline void deriveSetup(PlotSetup& s)
{
    s.SpanX = float(double(s.Windowgx) - s.Windowlx);
    s.SpanY = float(double(s.Windowgy) - s.Windowly);
    s.SpanZ = float(double(s.Windowgz) - s.Windowlz);
    s.StepXu = float((double(s.Rangegxu) - s.Rangelxu) / s.Spacexu);
    s.StepYv = float((double(s.Rangegyv) - s.Rangelyv) / s.Spaceyv);
    s.SegXu = float(double(s.StepXu) / s.Segsxu);
    s.SegYv = float(double(s.StepYv) / s.Segsyv);
    s.Xmid = float(s.Windowlx + double(s.SpanX) / 2);
    s.RatioYX = float(double(s.SpanY) / s.SpanX);
    s.RatioZX = float(double(s.SpanZ) / s.SpanX);
}

// The record as the field reader leaves it for the window's default fields.
inline PlotSetup DefaultSetup()
{
    PlotSetup s;
    s.Windowlx = -2.5f;
    s.Windowgx = 2.5f;
    s.Windowly = -2;
    s.Windowgy = 2;
    s.Windowlz = -1.5f;
    s.Windowgz = 1.5f;
    s.Rangelxu = s.Rangelyv = -1;
    s.Rangegxu = s.Rangegyv = 1;
    s.Divx = s.Divy = s.Divz = 1;
    s.EyeFactor[0] = 1;
    s.Reduce = 1;
    s.Spacexu = s.Spaceyv = 10;
    s.Segsxu = s.Segsyv = 2;
    s.Grid = 5;
    s.Ndots = 5000;
    s.EquationZ = QStringLiteral("(x-1)*x*(x+1)*(y-1)*y*(y+1)*5");
    s.EquationX = QStringLiteral("v");
    s.EquationY = QStringLiteral("u");
    deriveSetup(s);
    return s;
}
