#pragma once

#include <QtGlobal>

// The working values of a plot, one per window; every drawer sets what it uses before use.
struct RenderState
{
    qint32 ViewIndex = 0; // 0 left view, 1 right view
    quint32 SurfaceColor = 0; // &H00BBGGRR
    quint32 GuideColor = 0;
    float PixelY = 0, PixelZ = 0;
    float TickY = 0, TickZ = 0;
    float Parallax = 0;
    float Depth = 0;
    float Px = 0, Py = 0, Pz = 0;
    float Pu = 0, Pv = 0;
    float XrotRad = 0, YrotRad = 0, ZrotRad = 0;
    float CosX = 0, CosY = 0, CosZ = 0, SinX = 0, SinY = 0, SinZ = 0;
    float Rx = 0, Ry = 0, Rz = 0;
    float PrevHL = 0, PrevHR = 0, PrevV = 0;
    float CurHL = 0, CurHR = 0, CurV = 0;
    float RangeSpanXu = 0, RangeSpanYv = 0, DotHL = 0, DotHR = 0;
    bool PlotShown = false;
    qint32 PicLeft0 = 0, PicWidth0 = 0, PicHeight0 = 0, PicHeight1 = 0;
    qint32 ReducedWidth = 0;
};
