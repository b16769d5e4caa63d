#pragma once

#include <QStringList>
#include <QWidget>

// The About window: no caption, no controls, only printed lines of text. A click anywhere
// closes (and deletes) it.
class frmAbout : public QWidget
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // One line at the left edge, one text height below the line printed before.
    void printLine(const QString& text);
    const QStringList& printedLines() const { return lines_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QStringList lines_;
};
