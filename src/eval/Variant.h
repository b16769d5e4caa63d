#pragma once

#include <QString>
#include <QtGlobal>

// The engine's one value type: a tagged value with the sub-types of the expression language.
// Boolean True is -1 as a number. Only String owns memory; the numeric sub-types are plain.
class Variant
{
public:
    enum class Type : quint8
    {
        Empty,
        Null,
        Boolean,
        Integer,
        Long,
        Single,
        Double,
        Byte,
        String
    };

    Variant() = default;

    static Variant null();
    static Variant fromBool(bool b);
    static Variant fromInteger(qint16 i);
    static Variant fromLong(qint32 l);
    static Variant fromSingle(float f);
    static Variant fromDouble(double d);
    static Variant fromByte(quint8 b);
    static Variant fromString(const QString& s);

    // The longest string the engine builds (16 MB of UTF-16); longer ones fail with "Out of
    // memory" instead of exhausting the machine's.
    static constexpr qsizetype MaxStringLength = 8 * 1024 * 1024;

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNull() const { return type_ == Type::Null; }
    bool isString() const { return type_ == Type::String; }
    // Boolean, Integer, Long, Single, Double or Byte.
    bool isNumber() const { return type_ >= Type::Boolean && type_ <= Type::Byte; }
    // Empty, Boolean, Integer, Long or Double: the values the all-double programs compute
    // with exactly as the language does.
    bool isPlainNumber() const
    {
        return type_ == Type::Empty || type_ == Type::Boolean || type_ == Type::Integer ||
               type_ == Type::Long || type_ == Type::Double;
    }

    // The raw payloads; each is meaningful only for its own sub-type.
    bool boolValue() const { return i_ != 0; }
    qint16 integerValue() const { return qint16(i_); }
    qint32 longValue() const { return i_; }
    float singleValue() const { return float(d_); }
    double doubleValue() const { return d_; }
    quint8 byteValue() const { return quint8(i_); }
    const QString& stringValue() const { return s_; }
    // Appends to the string of a String variant, in place: the storage grows geometrically.
    void appendString(const QString& s) { s_.append(s); }

    // The number a numeric sub-type or Empty holds (Empty 0, True -1); 0 for others.
    double number() const;

    // Conversion as the language's CDbl does it: 0 on success, else 13 (a string that is no
    // number), 6 (a numeric string out of range) or 94 (Null).
    qint32 toDouble(double& out) const;

    // The text the language's CStr gives ("True", "4.74", "1E+20"); Null gives "Null".
    QString toString() const;

    // The sub-type's name as the language's TypeName gives it.
    QString typeName() const;

    // Same sub-type and same value (strings compared exactly).
    bool operator==(const Variant& other) const;

    // Parses a numeric string as the language converts strings: blanks around, optional
    // sign, digits with an optional "." and exponent, or &H / &O forms. 0, 13 or 6.
    static qint32 parseNumber(const QString& text, double& out);

    // The shortest text of a double with 15 significant digits, in the language's style.
    static QString formatDouble(double d, int digits = 15);

private:
    Type type_ = Type::Empty;
    qint32 i_ = 0;
    double d_ = 0;
    QString s_;
};
