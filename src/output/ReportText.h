#pragma once

#include "setup/PlotSetup.h"

#include <QString>
#include <QStringList>

// The text of the printed report, one entry per printed line. Session runs the field reader,
// then passes the record with the state of chkParametric, the texts of txtEquationZ,
// txtEquationX and txtEquationY and the constants list, and hands the lines to ReportPrinter.
namespace ReportText {
QStringList lines(const PlotSetup& setup, bool parametric, const QString& equationZ,
                  const QString& equationX, const QString& equationY, const QStringList& constants);

// One number item: "-" or a blank for the sign, the digits, one blank after.
QString numberItem(float value);
QString numberItem(qint32 value);
} // namespace ReportText
