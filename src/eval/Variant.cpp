#include "eval/Variant.h"
#include "eval/ScriptError.h"

#include <QByteArray>
#include <charconv>
#include <cmath>

Variant Variant::null()
{
    Variant v;
    v.type_ = Type::Null;
    return v;
}

Variant Variant::fromBool(bool b)
{
    Variant v;
    v.type_ = Type::Boolean;
    v.i_ = b ? -1 : 0;
    return v;
}

Variant Variant::fromInteger(qint16 i)
{
    Variant v;
    v.type_ = Type::Integer;
    v.i_ = i;
    return v;
}

Variant Variant::fromLong(qint32 l)
{
    Variant v;
    v.type_ = Type::Long;
    v.i_ = l;
    return v;
}

Variant Variant::fromSingle(float f)
{
    Variant v;
    v.type_ = Type::Single;
    v.d_ = f;
    return v;
}

Variant Variant::fromDouble(double d)
{
    Variant v;
    v.type_ = Type::Double;
    v.d_ = d;
    return v;
}

Variant Variant::fromByte(quint8 b)
{
    Variant v;
    v.type_ = Type::Byte;
    v.i_ = b;
    return v;
}

Variant Variant::fromString(const QString& s)
{
    Variant v;
    v.type_ = Type::String;
    v.s_ = s;
    return v;
}

double Variant::number() const
{
    switch (type_) {
    case Type::Boolean:
    case Type::Integer:
    case Type::Long:
    case Type::Byte:
        return i_;
    case Type::Single:
    case Type::Double:
        return d_;
    default:
        return 0;
    }
}

qint32 Variant::toDouble(double& out) const
{
    switch (type_) {
    case Type::Null:
        return ErrorNumbers::InvalidUseOfNull;
    case Type::String:
        return parseNumber(s_, out);
    default:
        out = number();
        return 0;
    }
}

QString Variant::formatDouble(double d, int digits)
{
    if (d == 0) return QStringLiteral("0");
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::general, digits);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    return text.replace(QLatin1Char('e'), QLatin1Char('E'));
}

QString Variant::toString() const
{
    switch (type_) {
    case Type::Empty:
        return QString();
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Boolean:
        return i_ ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer:
    case Type::Long:
    case Type::Byte:
        return QString::number(i_);
    case Type::Single:
        return formatDouble(d_, 7);
    case Type::Double:
        return formatDouble(d_, 15);
    case Type::String:
        return s_;
    }
    return QString();
}

QString Variant::typeName() const
{
    switch (type_) {
    case Type::Empty:
        return QStringLiteral("Empty");
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Boolean:
        return QStringLiteral("Boolean");
    case Type::Integer:
        return QStringLiteral("Integer");
    case Type::Long:
        return QStringLiteral("Long");
    case Type::Single:
        return QStringLiteral("Single");
    case Type::Double:
        return QStringLiteral("Double");
    case Type::Byte:
        return QStringLiteral("Byte");
    case Type::String:
        return QStringLiteral("String");
    }
    return QString();
}

bool Variant::operator==(const Variant& other) const
{
    if (type_ != other.type_) return false;
    switch (type_) {
    case Type::Empty:
    case Type::Null:
        return true;
    case Type::Single:
    case Type::Double:
        return d_ == other.d_;
    case Type::String:
        return s_ == other.s_;
    default:
        return i_ == other.i_;
    }
}

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= '0' && u <= '9')
        d = u - '0';
    else if (u >= 'a' && u <= 'f')
        d = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        d = u - 'A' + 10;
    return d < base ? d : -1;
}

} // namespace

qint32 Variant::parseNumber(const QString& text, double& out)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    if (i == end) return ErrorNumbers::TypeMismatch;

    if (text[i] == QLatin1Char('&') && i + 1 < end) {
        const QChar kind = text[i + 1].toUpper();
        const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (base == 0) return ErrorNumbers::TypeMismatch;
        qsizetype j = i + 2;
        if (j == end) return ErrorNumbers::TypeMismatch;
        quint64 value = 0;
        int significant = 0;
        for (; j < end; ++j) {
            const int d = digitValue(text[j], base);
            if (d < 0) return ErrorNumbers::TypeMismatch;
            if (value == 0 && d == 0) continue;
            value = value * quint64(base) + quint64(d);
            ++significant;
            if (value > 0xFFFFFFFFull) return ErrorNumbers::Overflow;
        }
        const bool fitsInteger = base == 16 ? significant <= 4 : value <= 0xFFFF;
        if (fitsInteger)
            out = qint16(quint16(value));
        else
            out = qint32(quint32(value));
        return 0;
    }

    QByteArray ascii;
    ascii.reserve(end - i);
    qsizetype j = i;
    if (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))
        ascii.append(char(text[j++].unicode()));
    bool digits = false;
    while (j < end && text[j].isDigit() && text[j].unicode() < 128) {
        ascii.append(char(text[j++].unicode()));
        digits = true;
    }
    if (j < end && text[j] == QLatin1Char('.')) {
        ascii.append('.');
        ++j;
        while (j < end && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            ascii.append(char(text[j++].unicode()));
            digits = true;
        }
    }
    if (!digits) return ErrorNumbers::TypeMismatch;
    if (j < end && (text[j] == QLatin1Char('e') || text[j] == QLatin1Char('E'))) {
        ascii.append('e');
        ++j;
        if (j < end && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ascii.append(char(text[j++].unicode()));
        bool expDigits = false;
        while (j < end && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            ascii.append(char(text[j++].unicode()));
            expDigits = true;
        }
        if (!expDigits) return ErrorNumbers::TypeMismatch;
    }
    if (j != end) return ErrorNumbers::TypeMismatch;
    const char* first = ascii.constData();
    if (*first == '+') ++first;
    double value = 0;
    const auto result = std::from_chars(first, ascii.constData() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow is an error; a value too small to represent is 0.
        if (ascii.contains("e-"))
            value = 0;
        else
            return ErrorNumbers::Overflow;
    } else if (result.ec != std::errc()) {
        return ErrorNumbers::TypeMismatch;
    }
    out = value;
    return 0;
}
