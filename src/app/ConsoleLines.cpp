#include "app/ConsoleLines.h"

namespace {
const QString kPrefix = QStringLiteral("tavrigon: ");

QString labelOf(const Subject& subject)
{
    switch (subject.kind) {
    case Subject::Kind::Constant:
        return QStringLiteral("constant ") + subject.name;
    case Subject::Kind::Field:
    case Subject::Kind::Option:
        return subject.name;
    case Subject::Kind::None:
        break;
    }
    return {};
}

QString labelled(const QString& kind, const Message& message, const QString& text)
{
    const QString label = labelOf(message.subject);
    return kPrefix + kind + (label.isEmpty() ? QString() : label + QStringLiteral(": ")) + text;
}
} // namespace

QStringList ConsoleLines::of(const Message& message)
{
    QString body = message.caption.isEmpty()
                       ? message.text
                       : message.caption + QStringLiteral(": ") + message.text;
    if (message.subject.kind == Subject::Kind::Field) {
        const QString suffix = QStringLiteral(" in ") + message.subject.name;
        if (body.endsWith(suffix)) body.chop(suffix.size());
    }
    QStringList lines = {labelled(QString(), message, body)};
    if (!message.hint.isEmpty()) lines << labelled(QStringLiteral("hint: "), message, message.hint);
    return lines;
}

QString ConsoleLines::note(const Message& message)
{
    return labelled(QStringLiteral("note: "), message, message.text);
}
