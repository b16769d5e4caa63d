#pragma once

#include "setup/FormFields.h"

#include <QHash>

// FormFields without a window: every control at its default, changed by set calls.
class FieldMap : public FormFields
{
public:
    FieldMap(); // the defaults of the window

    QString text(const QString& control) const override;
    void setText(const QString& control, const QString& text) override;
    bool isChecked(const QString& control) const override;
    void setChecked(const QString& control, bool checked) override;
    int option(const QString& group) const override;
    void setOption(const QString& group, int index) override;
    QString caption(const QString& control) const override;
    void setCaption(const QString& control, const QString& caption) override;
    QString toolTip(const QString& control) const override;
    void setToolTip(const QString& control, const QString& toolTip) override;
    bool isShown(const QString& control) const override;
    void setShown(const QString& control, bool shown) override;

private:
    QHash<QString, QString> texts_;
    QHash<QString, bool> checks_;
    QHash<QString, int> options_;
    QHash<QString, QString> captions_;
    QHash<QString, QString> toolTips_;
    QHash<QString, bool> shown_; // absent means shown
};
