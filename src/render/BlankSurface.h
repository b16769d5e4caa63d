#pragma once

#include "render/ScaledSurface.h"

// A view that keeps its geometry and user scale and draws nothing: the view of a pair that an
// output does not show (the left view of a turntable), so that drawing the pair costs little
// more than drawing the view shown. Its image is null.
class BlankSurface final : public ScaledSurface
{
public:
    void setGeometry(int left, int width, int height) override;

    void setBackColor(quint32 color) override { backColor_ = color; }
    void clearPicture() override {}
    void setPicture(const QImage&) override {}

    void line(float, float, float, float, quint32) override {}
    void polyline(const float*, const float*, int, quint32) override {}
    void box(float, float, float, float, quint32) override {}
    void lineRelative(float, float, float, float, quint32) override {}
    void lineTo(float, float, quint32) override {}
    void pset(float, float, quint32) override {}
    void circle(float, float, float, quint32) override {}
    void polygon(const QPolygonF&, quint32, std::span<const float>) override {}
    double resolution() const override { return 0; } // no detail to match

    void setFont(const QString&, qreal, bool) override {}
    void printLine(const QString&) override {}
    void label(float, float, const QString&, quint32, Qt::Alignment) override {}

    QImage image() const override { return {}; }

private:
    void mapScale() override {}
};
