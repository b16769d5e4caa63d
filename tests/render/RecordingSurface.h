#pragma once

#include "render/DrawingSurface.h"

#include <QColor>
#include <QList>

// A drawing surface for tests: rasterises nothing and records every call with its arguments
// in user units and the draw style, fill colour and fill style in force when it was made.
// Line-like calls also carry their resolved ends in from/to (a relative line ends at the
// start plus the offset, a line from the current point starts there).
class RecordingSurface : public DrawingSurface
{
public:
    enum Kind
    {
        Line,
        Box,
        LineRelative,
        LineTo,
        PSet,
        Circle,
        SetDrawStyle,
        SetFillColor,
        SetFillStyle,
        SetScale,
        SetBackColor,
        ClearPicture,
        SetPicture,
        PrintLine,
        Label
    };

    struct Call
    {
        Kind kind = Line;
        float a[4] = {0, 0, 0, 0}; // the arguments as passed; a circle's radius is a[2]
        quint32 color = 0;         // the colour argument (or the colour set)
        int value = 0;             // the style set by SetDrawStyle or SetFillStyle
        QString text;              // PrintLine, Label
        float fromX = 0, fromY = 0, toX = 0, toY = 0;
        int drawStyle = Solid; // in force
        quint32 fillColor = 0;
        int fillStyle = FillTransparent;

        bool isStroke() const
        {
            return kind == Line || kind == Box || kind == LineRelative || kind == LineTo;
        }
    };

    RecordingSurface(int left = 0, int width = 400, int height = 300)
        : left_(left), width_(width), height_(height)
    {
    }

    const QList<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    QList<Call> callsOf(Kind kind) const
    {
        QList<Call> out;
        for (const Call& c : calls_)
            if (c.kind == kind) out.append(c);
        return out;
    }

    // Line-like calls and points drawn in one colour, in the order made.
    QList<Call> drawnIn(quint32 color) const
    {
        QList<Call> out;
        for (const Call& c : calls_)
            if ((c.isStroke() || c.kind == PSet || c.kind == Circle) && c.color == color)
                out.append(c);
        return out;
    }

    int drawStyle() const { return drawStyle_; }
    quint32 fillColor() const { return fillColor_; }
    int fillStyle() const { return fillStyle_; }

    int left() const override { return left_; }
    int width() const override { return width_; }
    int height() const override { return height_; }
    void setGeometry(int left, int width, int height) override
    {
        left_ = left;
        width_ = width;
        height_ = height;
    }

    void setScale(float x1, float y1, float x2, float y2) override
    {
        scale_[0] = x1;
        scale_[1] = y1;
        scale_[2] = x2;
        scale_[3] = y2;
        record(SetScale, x1, y1, x2, y2);
    }
    float scaleWidth() const override { return scale_[2] - scale_[0]; }
    float scaleHeight() const override { return scale_[3] - scale_[1]; }

    void setAutoRedraw(bool on) override { autoRedraw_ = on; }
    bool autoRedraw() const override { return autoRedraw_; }

    void setBackColor(quint32 color) override
    {
        backColor_ = color;
        record(SetBackColor, 0, 0, 0, 0, color);
    }
    quint32 backColor() const override { return backColor_; }
    void clearPicture() override
    {
        picture_ = QImage();
        record(ClearPicture, 0, 0, 0, 0);
    }
    void setPicture(const QImage& picture) override
    {
        picture_ = picture;
        record(SetPicture, 0, 0, 0, 0);
    }

    void setDrawStyle(int style) override
    {
        drawStyle_ = style;
        record(SetDrawStyle, 0, 0, 0, 0).value = style;
    }
    void setFillColor(quint32 color) override
    {
        fillColor_ = color;
        record(SetFillColor, 0, 0, 0, 0, color);
    }
    void setFillStyle(int style) override
    {
        fillStyle_ = style;
        record(SetFillStyle, 0, 0, 0, 0).value = style;
    }

    void line(float x1, float y1, float x2, float y2, quint32 color) override
    {
        stroke(record(Line, x1, y1, x2, y2, color), x1, y1, x2, y2);
    }
    void box(float x1, float y1, float x2, float y2, quint32 color) override
    {
        stroke(record(Box, x1, y1, x2, y2, color), x1, y1, x2, y2);
    }
    void lineRelative(float x1, float y1, float dx, float dy, quint32 color) override
    {
        stroke(record(LineRelative, x1, y1, dx, dy, color), x1, y1, x1 + dx, y1 + dy);
    }
    void lineTo(float x2, float y2, quint32 color) override
    {
        stroke(record(LineTo, x2, y2, 0, 0, color), curX_, curY_, x2, y2);
    }
    void pset(float x, float y, quint32 color) override
    {
        stroke(record(PSet, x, y, 0, 0, color), x, y, x, y);
    }
    void circle(float x, float y, float radius, quint32 color) override
    {
        stroke(record(Circle, x, y, radius, 0, color), x, y, x, y);
    }

    void setFont(const QString&, qreal, bool) override {}
    void setForeColor(quint32 color) override { foreColor_ = color; }
    void printLine(const QString& text) override
    {
        record(PrintLine, 0, 0, 0, 0, foreColor_).text = text;
    }

    void label(float x, float y, const QString& text, quint32 color, Qt::Alignment) override
    {
        record(Label, x, y, 0, 0, color).text = text;
    }

    // The background only (or the picture assigned): nothing drawn is rasterised.
    QImage image() const override
    {
        if (!picture_.isNull()) return picture_;
        QImage img(qMax(width_, 1), qMax(height_, 1), QImage::Format_RGB32);
        img.fill(QColor(int(backColor_ & 0xFF), int((backColor_ >> 8) & 0xFF),
                        int((backColor_ >> 16) & 0xFF)));
        return img;
    }

private:
    Call& record(Kind kind, float a0, float a1, float a2, float a3, quint32 color = 0)
    {
        Call c;
        c.kind = kind;
        c.a[0] = a0;
        c.a[1] = a1;
        c.a[2] = a2;
        c.a[3] = a3;
        c.color = color;
        c.drawStyle = drawStyle_;
        c.fillColor = fillColor_;
        c.fillStyle = fillStyle_;
        calls_.append(c);
        return calls_.last();
    }

    // Fills the resolved ends and moves the current point to the end.
    void stroke(Call& c, float x1, float y1, float x2, float y2)
    {
        c.fromX = x1;
        c.fromY = y1;
        c.toX = x2;
        c.toY = y2;
        curX_ = x2;
        curY_ = y2;
    }

    int left_, width_, height_;
    float scale_[4] = {0, 0, 1, 1};
    bool autoRedraw_ = false;
    quint32 backColor_ = 0xFFFFFF;
    quint32 foreColor_ = 0;
    QImage picture_;
    int drawStyle_ = Solid;
    quint32 fillColor_ = 0;
    int fillStyle_ = FillTransparent;
    float curX_ = 0, curY_ = 0;
    QList<Call> calls_;
};
