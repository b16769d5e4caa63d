#pragma once

#include "setup/FormFields.h"

#include <QHash>

// Just enough of the window's controls for the evaluation tests: option pairs and check boxes
// (OptAccuracy starts at 0, "Med").
class OptionFields : public FormFields
{
public:
    QString text(const QString& control) const override { return texts_.value(control); }
    void setText(const QString& control, const QString& text) override { texts_[control] = text; }
    bool isChecked(const QString& control) const override { return checks_.value(control); }
    void setChecked(const QString& control, bool checked) override { checks_[control] = checked; }
    int option(const QString& group) const override { return options_.value(group); }
    void setOption(const QString& group, int index) override { options_[group] = index; }
    QString caption(const QString&) const override { return QString(); }
    void setCaption(const QString&, const QString&) override {}
    QString toolTip(const QString&) const override { return QString(); }
    void setToolTip(const QString&, const QString&) override {}
    bool isShown(const QString&) const override { return true; }
    void setShown(const QString&, bool) override {}

private:
    QHash<QString, QString> texts_;
    QHash<QString, bool> checks_;
    QHash<QString, int> options_;
};
