#pragma once

// The 22 "-" and "+" buttons beside the window and domain limits, the angles and the
// translations. The window builds its buttons and step fields from table() and stepFields()
// and forwards each click to press(); Session::press does the same. The buttons only rewrite
// field texts: nothing is plotted until the next Plot.

#include <QList>
#include <QString>

class FormFields;

struct StepButton
{
    QString button;  // "cmdDecWindX"
    QString caption; // "-" or "+"
    QString toolTip;
    QString stepField;  // "txtStepWindX"
    QString field;      // the lower limit of an interval, or the one field that changes
    QString upperField; // the upper limit of an interval; empty for angles and translations
    bool increase;      // "+": widens an interval, adds the step to a single field

    bool isInterval() const { return !upperField.isEmpty(); }
};

struct StepField
{
    QString control; // "txtStepWindX"
    QString toolTip;
};

namespace StepButtons {
const QList<StepButton>& table();     // all 22, window x, y, z, domain, rotation, translation
const QList<StepField>& stepFields(); // the 11 step fields in tab order
const StepButton* find(const QString& button); // null for a name that is no step button

// One click. Interval buttons spread the step (a complete number, else nothing changes) half
// over each end; the others add or subtract the step's leading number. False for a name that
// is no step button.
bool press(const QString& button, FormFields& fields);
} // namespace StepButtons
