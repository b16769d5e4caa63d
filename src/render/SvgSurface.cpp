#include "render/SvgSurface.h"

#include <QBuffer>
#include <charconv>
#include <cmath>

namespace {

// A coordinate with at most two decimals, without trailing zeros: a hundredth of a view
// pixel is finer than any output shows.
void appendNumber(QByteArray& out, double v)
{
    long long n = std::llround(v * 100);
    char text[32];
    char* end = text;
    if (n < 0) {
        *end++ = '-';
        n = -n;
    }
    end = std::to_chars(end, text + sizeof text, n / 100).ptr;
    const int hundredths = int(n % 100);
    if (hundredths != 0) {
        *end++ = '.';
        *end++ = char('0' + hundredths / 10);
        if (hundredths % 10 != 0) *end++ = char('0' + hundredths % 10);
    }
    out.append(text, end - text);
}

void appendAttribute(QByteArray& out, const char* name, double v)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, v);
    out += '"';
}

void appendColor(QByteArray& out, const char* name, quint32 color)
{
    const quint32 rgb = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
    out += ' ';
    out += name;
    out += "=\"#";
    out += QByteArray::number(rgb, 16).rightJustified(6, '0');
    out += '"';
}

void appendPoints(QByteArray& out, const QPolygonF& points)
{
    out += " points=\"";
    for (const QPointF& p : points) {
        if (&p != &points.first()) out += ' ';
        appendNumber(out, p.x());
        out += ',';
        appendNumber(out, p.y());
    }
    out += "\"/>\n";
}

void appendPolyline(QByteArray& out, const VectorSurface::Shape& s)
{
    out += "<polyline";
    appendColor(out, "stroke", s.color);
    if (s.dotted) out += " stroke-dasharray=\"1,1\" stroke-linecap=\"butt\"";
    appendPoints(out, s.points);
}

// Filled, with a hairline of its colour over the seams between neighbouring cells.
void appendPolygon(QByteArray& out, const VectorSurface::Shape& s)
{
    out += "<polygon";
    appendColor(out, "fill", s.color);
    appendColor(out, "stroke", s.color);
    out += " stroke-width=\"0.5\" stroke-linejoin=\"round\"";
    appendPoints(out, s.points);
}

void appendDots(QByteArray& out, const VectorSurface::Shape& s)
{
    out += "<path";
    appendColor(out, "fill", s.color);
    out += " d=\"";
    for (const QPointF& p : s.points) {
        out += 'M';
        appendNumber(out, p.x() - 0.5);
        out += ' ';
        appendNumber(out, p.y() - 0.5);
        out += "h1v1h-1z";
    }
    out += "\"/>\n";
}

void appendCircle(QByteArray& out, const VectorSurface::Shape& s)
{
    out += "<circle";
    appendAttribute(out, "cx", s.points.first().x());
    appendAttribute(out, "cy", s.points.first().y());
    appendAttribute(out, "r", s.radius);
    appendColor(out, "stroke", s.color);
    if (s.filled) appendColor(out, "fill", s.fillColor);
    out += "/>\n";
}

void appendText(QByteArray& out, const VectorSurface::Shape& s)
{
    if (!s.knockout.isEmpty()) {
        out += "<rect";
        appendAttribute(out, "x", s.knockout.x());
        appendAttribute(out, "y", s.knockout.y());
        appendAttribute(out, "width", s.knockout.width());
        appendAttribute(out, "height", s.knockout.height());
        appendColor(out, "fill", s.fillColor);
        out += "/>\n";
    }
    out += "<text";
    appendAttribute(out, "x", s.points.first().x());
    appendAttribute(out, "y", s.points.first().y());
    out += " font-family=\"" + s.font.family().toHtmlEscaped().toUtf8() + ", sans-serif\"";
    appendAttribute(out, "font-size", s.font.pixelSize());
    if (s.font.bold()) out += " font-weight=\"bold\"";
    appendColor(out, "fill", s.color);
    out += " stroke=\"none\">" + s.text.toHtmlEscaped().toUtf8() + "</text>\n";
}

} // namespace

QByteArray SvgSurface::group(const QString& id, double x) const
{
    const QByteArray name = id.toHtmlEscaped().toUtf8();
    QByteArray out;
    out += "<clipPath id=\"" + name + "\"><rect";
    appendAttribute(out, "width", width());
    appendAttribute(out, "height", height());
    out += "/></clipPath>\n<g transform=\"translate(";
    appendNumber(out, x);
    out += ",0)\"><g clip-path=\"url(#" + name + ")\">\n<rect";
    appendAttribute(out, "width", width());
    appendAttribute(out, "height", height());
    appendColor(out, "fill", backColor());
    out += "/>\n";
    if (!picture().isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture().save(&buffer, "PNG");
        out += "<image";
        appendAttribute(out, "width", picture().width());
        appendAttribute(out, "height", picture().height());
        out += " xlink:href=\"data:image/png;base64," + png.toBase64() + "\"/>\n";
    }
    out += "<g fill=\"none\" stroke-linecap=\"square\">\n";
    for (const Shape& s : shapes()) {
        switch (s.kind) {
        case Shape::Polyline:
            appendPolyline(out, s);
            break;
        case Shape::Dots:
            appendDots(out, s);
            break;
        case Shape::Circle:
            appendCircle(out, s);
            break;
        case Shape::Text:
            appendText(out, s);
            break;
        case Shape::Polygon:
            appendPolygon(out, s);
            break;
        }
    }
    out += "</g>\n</g></g>\n";
    return out;
}
