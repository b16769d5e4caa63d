#include "setup/FieldMap.h"

#include "setup/FieldTable.h"

FieldMap::FieldMap()
{
    for (const FieldInfo& f : FieldTable::textFields())
        texts_.insert(f.control, f.defaultText);
    texts_.insert(QStringLiteral("cboConstants"),
                  FieldTable::defaultText(QStringLiteral("cboConstants")));
    for (const CheckInfo& c : FieldTable::checks())
        checks_.insert(c.control, c.defaultChecked);
    for (const OptionInfo& o : FieldTable::options())
        options_.insert(o.group, o.defaultIndex);
}

QString FieldMap::text(const QString& control) const
{
    return texts_.value(control);
}

void FieldMap::setText(const QString& control, const QString& text)
{
    texts_.insert(control, text);
}

bool FieldMap::isChecked(const QString& control) const
{
    return checks_.value(control);
}

void FieldMap::setChecked(const QString& control, bool checked)
{
    checks_.insert(control, checked);
}

int FieldMap::option(const QString& group) const
{
    return options_.value(group);
}

void FieldMap::setOption(const QString& group, int index)
{
    options_.insert(group, index);
}

QString FieldMap::caption(const QString& control) const
{
    return captions_.value(control);
}

void FieldMap::setCaption(const QString& control, const QString& caption)
{
    captions_.insert(control, caption);
}

QString FieldMap::toolTip(const QString& control) const
{
    return toolTips_.value(control);
}

void FieldMap::setToolTip(const QString& control, const QString& toolTip)
{
    toolTips_.insert(control, toolTip);
}

bool FieldMap::isShown(const QString& control) const
{
    return shown_.value(control, true);
}

void FieldMap::setShown(const QString& control, bool shown)
{
    shown_.insert(control, shown);
}
