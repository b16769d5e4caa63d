#pragma once

#include <QString>

// The main window's controls as the core sees them, addressed by control name
// ("txtWindowlx", "chkLines", "optBackclr", "cboConstants"). The window implements it over
// its widgets; the command line and the tests use FieldMap. The core reads a control at the
// moment it needs it, as the window would.
class FormFields
{
public:
    virtual ~FormFields() = default;

    // Text of a text field, or the edit text of the combo box "cboConstants".
    virtual QString text(const QString& control) const = 0;
    virtual void setText(const QString& control, const QString& text) = 0;

    // Check boxes: "chkLines", "chkDots", "chkPersist", "chkParametric".
    virtual bool isChecked(const QString& control) const = 0;
    virtual void setChecked(const QString& control, bool checked) = 0;

    // Option pairs: "optBackclr" (0 "White", 1 "Black"), "OptAccuracy" (0 "Med", 1 "High").
    virtual int option(const QString& group) const = 0;
    virtual void setOption(const QString& group, int index) = 0;

    // Presentation that the core changes (the parametric toggle): labels' and controls'
    // captions, tool tips and visibility.
    virtual QString caption(const QString& control) const = 0;
    virtual void setCaption(const QString& control, const QString& caption) = 0;
    virtual QString toolTip(const QString& control) const = 0;
    virtual void setToolTip(const QString& control, const QString& toolTip) = 0;
    virtual bool isShown(const QString& control) const = 0;
    virtual void setShown(const QString& control, bool shown) = 0;
};
