#pragma once

#include <QList>
#include <QString>

// The text fields of the main window with their default texts, in tab order, and the
// default states of the check boxes and option pairs. One table for the window, the
// command line and the tests.
struct FieldInfo
{
    QString control; // "txtWindowlx"
    QString defaultText;
};

struct CheckInfo
{
    QString control; // "chkLines"
    bool defaultChecked;
};

struct OptionInfo
{
    QString group; // "optBackclr"
    int defaultIndex;
};

namespace FieldTable {
const QList<FieldInfo>& textFields(); // all 46, tab order
const QList<CheckInfo>& checks();
const QList<OptionInfo>& options();
QString defaultText(const QString& control); // empty for an unknown control
bool isTextField(const QString& control);
bool isCheck(const QString& control);
bool isOption(const QString& group);
} // namespace FieldTable
