#include "setup/ErrorField.h"

#include "setup/FormFields.h"

#include <QStringList>

namespace {
QString candidate(const FormFields& fields, const QString& description)
{
    const QString last = fields.lastTextRead();
    if (!last.startsWith(QLatin1String("txt"))) return {};
    if (!last.startsWith(QLatin1String("txtEquation"))) return last;
    QStringList shown = {QStringLiteral("txtEquationZ")};
    if (fields.isChecked(QStringLiteral("chkParametric")))
        shown << QStringLiteral("txtEquationX") << QStringLiteral("txtEquationY");
    // A message naming what failed ("Type mismatch: 'sqrt'") points at the equation using it.
    const qsizetype open = description.indexOf(QLatin1Char('\''));
    const qsizetype close = description.indexOf(QLatin1Char('\''), open + 1);
    if (open >= 0 && close > open + 1) {
        const QString name = description.mid(open + 1, close - open - 1);
        for (const QString& control : std::as_const(shown))
            if (fields.text(control).contains(name, Qt::CaseInsensitive)) return control;
    }
    return shown.first();
}
} // namespace

QString ErrorField::of(const FormFields& fields, const QString& message,
                       const QString& engineMessage)
{
    const QString control = candidate(fields, message);
    if (control.isEmpty()) return {};
    if (!engineMessage.isEmpty() && message == engineMessage) return control;
    return message.endsWith(QStringLiteral(" in ") + control.mid(3)) ? control : QString();
}

QString ErrorField::consoleLine(const QString& text, const QString& caption, const QString& control)
{
    QString body = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    if (!control.isEmpty()) {
        const QString field = control.mid(3);
        const QString suffix = QStringLiteral(" in ") + field;
        if (body.endsWith(suffix)) body.chop(suffix.size());
        body = field + QStringLiteral(": ") + body;
    }
    return QStringLiteral("tavrigon: ") + body;
}
