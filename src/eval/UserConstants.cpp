#include "eval/UserConstants.h"

#include "eval/ScriptEngine.h"

namespace {
bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}
} // namespace

QString UserConstants::nameOf(const QString& text)
{
    const qsizetype p = text.indexOf(QLatin1Char('='));
    if (p <= 0 || !isAsciiLetter(text.at(0))) return {};
    for (qsizetype i = 1; i < p; ++i) {
        if (!isAsciiLetter(text.at(i)) && !isAsciiDigit(text.at(i))) return {};
    }
    return text.left(p);
}

int UserConstants::indexOfName(const QStringList& texts, const QString& name)
{
    for (int i = 0; i < int(texts.size()); ++i) {
        const QString& entry = texts.at(i);
        const qsizetype p = entry.indexOf(QLatin1Char('='));
        if (p == name.size() && entry.startsWith(name)) return i;
    }
    return -1;
}

bool UserConstants::setValue(QStringList& texts, const QString& name, const QString& value)
{
    const int index = indexOfName(texts, name);
    if (index < 0) return false;
    texts[index] = name + QLatin1Char('=') + value;
    return true;
}

bool UserConstants::setValue(const QString& name, const QString& value)
{
    return setValue(ConstantList, name, value);
}

UserConstants::AddResult UserConstants::add(const QString& text)
{
    const QString name = nameOf(text);
    if (name.isEmpty()) return AddResult::Refused;
    const int existing = indexOfName(ConstantList, name);
    if (existing < 0 && count() >= Capacity) return AddResult::ListFull;
    if (existing >= 0) ConstantList.removeAt(existing);
    ConstantList.append(text);
    return AddResult::Added;
}

bool UserConstants::remove(int index, ScriptEngine& engine)
{
    if (index < 0 || index >= count()) return false;
    const QString text = ConstantList.takeAt(index);
    const qsizetype p = text.indexOf(QLatin1Char('='));
    if (p >= 0) engine.executeStatement(text.left(p + 1) + QLatin1Char('0'));
    return true;
}

qint32 UserConstants::registerAll(ScriptEngine& engine) const
{
    qint32 first = 0;
    const QStringList texts = ConstantList; // the error handler's message box may let events run
    for (const QString& text : texts) {
        const SubjectScope subject(engine, {Subject::Kind::Constant, text});
        const qint32 number = engine.executeStatement(text);
        if (first == 0) first = number;
    }
    return first;
}

bool UserConstants::setAll(const QStringList& texts)
{
    if (texts.size() > Capacity) return false;
    ConstantList = texts;
    return true;
}
