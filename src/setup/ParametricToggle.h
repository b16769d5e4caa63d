#pragma once

// The layout switch of chkParametric: the window calls apply() on every click of the box,
// the setup-file reader after setting the box, and the window once at load. apply() sets
// every item in both directions, so it can be called at any time.

#include <QList>
#include <QString>

class FormFields;

// A control shown in one mode only.
struct ParametricVisibility
{
    QString control;
    bool shownWhenParametric;
};

// A caption or tool tip that differs between the modes.
struct ParametricText
{
    QString control;
    bool isToolTip; // else the caption
    QString parametric;
    QString explicitText;
};

namespace ParametricToggle {
const QList<ParametricVisibility>& visibilities();
const QList<ParametricText>& texts();

// Brings captions, tool tips and visibility in line with chkParametric. Does not plot.
void apply(FormFields& fields);
} // namespace ParametricToggle
