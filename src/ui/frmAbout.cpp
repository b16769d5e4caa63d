#include "ui/frmAbout.h"

#include "ui/frmVantro.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor BackColour(0, 0, 0);
const QColor TextColour(0xFF, 0xC0, 0x80); // &H80C0FF
} // namespace

frmAbout::frmAbout(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(640, 480);
    setFont(frmVantro::uiFont(24, true));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, BackColour);
    pal.setColor(QPalette::WindowText, TextColour);
    setPalette(pal);
    setAutoFillBackground(true);
}

void frmAbout::printLine(const QString& text)
{
    lines_.append(text);
    update();
}

void frmAbout::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(TextColour);
    const QFontMetrics fm(font());
    int top = 0;
    for (const QString& line : lines_) {
        p.drawText(0, top + fm.ascent(), line);
        top += fm.height();
    }
}

void frmAbout::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}
