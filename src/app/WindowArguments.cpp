#include "app/WindowArguments.h"

bool WindowArguments::parse(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString value;
        if (arg == QLatin1String("--seed") && i + 1 < arguments.size())
            value = arguments[++i];
        else if (arg.startsWith(QLatin1String("--seed=")))
            value = arg.mid(7);
        else if (!arg.startsWith(QLatin1Char('-')) && file.isEmpty()) {
            file = arg;
            continue;
        } else
            return false;
        quint32 n = 0;
        if (!parseSeed(value, n)) return false;
        seed = n;
    }
    return true;
}

bool WindowArguments::parseSeed(const QString& text, quint32& seed)
{
    bool ok = false;
    const qulonglong n = text.toULongLong(&ok);
    if (!ok || n > 0xFFFFFFFFull || text.startsWith(QLatin1Char('+'))) return false;
    seed = quint32(n);
    return true;
}
