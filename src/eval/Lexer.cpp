#include "eval/Lexer.h"
#include "eval/ScriptError.h"

#include <QByteArray>
#include <charconv>
#include <cmath>

namespace {

bool isAsciiLetter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char16_t c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char16_t c)
{
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

bool isBlank(char16_t c)
{
    return c == ' ' || c == '\t';
}

struct Keyword
{
    const char* word;
    Token::Kind kind;
};

constexpr Keyword kKeywords[] = {
    {"not", Token::Kind::Not},     {"and", Token::Kind::And},     {"or", Token::Kind::Or},
    {"xor", Token::Kind::Xor},     {"eqv", Token::Kind::Eqv},     {"imp", Token::Kind::Imp},
    {"mod", Token::Kind::Mod},     {"is", Token::Kind::Is},       {"true", Token::Kind::True},
    {"false", Token::Kind::False}, {"empty", Token::Kind::Empty}, {"null", Token::Kind::Null},
};

// Words the language reserves for its statements and declarations.
constexpr const char* kReserved[] = {
    "as",         "boolean",    "byref",      "byte",     "byval",    "call",     "case",
    "class",      "const",      "currency",   "debug",    "dim",      "do",       "double",
    "each",       "else",       "elseif",     "end",      "endif",    "enum",     "erase",
    "event",      "exit",       "explicit",   "for",      "function", "get",      "goto",
    "if",         "implements", "in",         "integer",  "let",      "like",     "long",
    "loop",       "lset",       "me",         "new",      "next",     "nothing",  "on",
    "option",     "optional",   "paramarray", "preserve", "private",  "property", "public",
    "raiseevent", "redim",      "resume",     "rset",     "select",   "set",      "shared",
    "single",     "static",     "stop",       "sub",      "then",     "to",       "type",
    "typeof",     "until",      "variant",    "wend",     "while",    "with",
};

} // namespace

void Lexer::rewind(qsizetype position)
{
    pos_ = position;
    advance();
}

void Lexer::fail(qsizetype start, qint32 number)
{
    token_.kind = Token::Kind::Error;
    token_.position = start;
    token_.errorNumber = number;
}

void Lexer::skipToLineEnd()
{
    while (pos_ < text_.size() && text_[pos_] != QLatin1Char('\n') &&
           text_[pos_] != QLatin1Char('\r'))
        ++pos_;
}

void Lexer::advance()
{
    const qsizetype n = text_.size();
    token_.value = Variant();
    token_.name.clear();
    token_.errorNumber = 0;
    for (;;) {
        while (pos_ < n && isBlank(text_[pos_].unicode()))
            ++pos_;
        // A line continuation: "_" after a blank, then only blanks up to the line end.
        if (pos_ < n && text_[pos_] == QLatin1Char('_') && pos_ > 0 &&
            isBlank(text_[pos_ - 1].unicode())) {
            qsizetype j = pos_ + 1;
            while (j < n && isBlank(text_[j].unicode()))
                ++j;
            if (j < n && (text_[j] == QLatin1Char('\r') || text_[j] == QLatin1Char('\n'))) {
                if (text_[j] == QLatin1Char('\r') && j + 1 < n && text_[j + 1] == QLatin1Char('\n'))
                    ++j;
                pos_ = j + 1;
                continue;
            }
        }
        if (pos_ < n && text_[pos_] == QLatin1Char('\'')) {
            skipToLineEnd();
            continue;
        }
        break;
    }
    const qsizetype start = pos_;
    token_.position = start;
    if (pos_ >= n) {
        token_.kind = Token::Kind::End;
        return;
    }
    const char16_t c = text_[pos_].unicode();
    const char16_t next = pos_ + 1 < n ? text_[pos_ + 1].unicode() : 0;
    auto single = [this](Token::Kind kind, int length) {
        token_.kind = kind;
        pos_ += length;
    };
    switch (c) {
    case '\r':
        if (next == '\n') ++pos_;
        return single(Token::Kind::Newline, 1);
    case '\n':
        return single(Token::Kind::Newline, 1);
    case ':':
        return single(Token::Kind::Colon, 1);
    case '+':
        return single(Token::Kind::Plus, 1);
    case '-':
        return single(Token::Kind::Minus, 1);
    case '*':
        return single(Token::Kind::Star, 1);
    case '/':
        return single(Token::Kind::Slash, 1);
    case '\\':
        return single(Token::Kind::Backslash, 1);
    case '^':
        return single(Token::Kind::Caret, 1);
    case '(':
        return single(Token::Kind::LeftParen, 1);
    case ')':
        return single(Token::Kind::RightParen, 1);
    case ',':
        return single(Token::Kind::Comma, 1);
    case '=':
        if (next == '>') return single(Token::Kind::GreaterEqual, 2);
        if (next == '<') return single(Token::Kind::LessEqual, 2);
        return single(Token::Kind::Equal, 1);
    case '<':
        if (next == '>') return single(Token::Kind::NotEqual, 2);
        if (next == '=') return single(Token::Kind::LessEqual, 2);
        return single(Token::Kind::Less, 1);
    case '>':
        if (next == '<') return single(Token::Kind::NotEqual, 2);
        if (next == '=') return single(Token::Kind::GreaterEqual, 2);
        return single(Token::Kind::Greater, 1);
    case '&': {
        const char16_t after = pos_ + 2 < n ? text_[pos_ + 2].unicode() : 0;
        if ((next == 'h' || next == 'H') && digitValue(after) < 16) return lexRadix(start, 16);
        if ((next == 'o' || next == 'O') && digitValue(after) < 8) return lexRadix(start, 8);
        return single(Token::Kind::Ampersand, 1);
    }
    case '"':
        return lexString(start);
    case '.':
        if (isDigit(next)) return lexNumber(start);
        return single(Token::Kind::Dot, 1);
    default:
        break;
    }
    if (isDigit(c)) return lexNumber(start);
    if (isAsciiLetter(c)) return lexWord(start);
    fail(start, ErrorNumbers::InvalidCharacter);
    ++pos_;
}

void Lexer::lexNumber(qsizetype start)
{
    const qsizetype n = text_.size();
    QByteArray ascii;
    bool integral = true;
    while (pos_ < n && isDigit(text_[pos_].unicode()))
        ascii.append(char(text_[pos_++].unicode()));
    if (pos_ < n && text_[pos_] == QLatin1Char('.')) {
        integral = false;
        ascii.append('.');
        ++pos_;
        while (pos_ < n && isDigit(text_[pos_].unicode()))
            ascii.append(char(text_[pos_++].unicode()));
    }
    if (pos_ < n && (text_[pos_] == QLatin1Char('e') || text_[pos_] == QLatin1Char('E'))) {
        qsizetype j = pos_ + 1;
        if (j < n && (text_[j] == QLatin1Char('+') || text_[j] == QLatin1Char('-'))) ++j;
        if (j < n && isDigit(text_[j].unicode())) {
            integral = false;
            ascii.append('e');
            if (text_[pos_ + 1] == QLatin1Char('-')) ascii.append('-');
            pos_ = j;
            while (pos_ < n && isDigit(text_[pos_].unicode()))
                ascii.append(char(text_[pos_++].unicode()));
        }
    }
    token_.kind = Token::Kind::Number;
    token_.position = start;
    if (integral) {
        // Up to 18 digits fit a 64-bit integer; more are certainly Double.
        qsizetype first = 0;
        while (first + 1 < ascii.size() && ascii[first] == '0')
            ++first;
        if (ascii.size() - first <= 18) {
            const qint64 v = ascii.mid(first).toLongLong();
            if (v <= 32767)
                token_.value = Variant::fromInteger(qint16(v));
            else if (v <= 2147483647)
                token_.value = Variant::fromLong(qint32(v));
            else
                token_.value = Variant::fromDouble(double(v));
            return;
        }
    }
    double value = 0;
    const auto result = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const qsizetype e = ascii.indexOf('e');
        if (e >= 0 && e + 1 < ascii.size() && ascii[e + 1] == '-') {
            value = 0; // underflows quietly
        } else {
            fail(start, ErrorNumbers::InvalidNumber);
            return;
        }
    } else if (result.ec != std::errc() || !std::isfinite(value)) {
        fail(start, ErrorNumbers::InvalidNumber);
        return;
    }
    token_.value = Variant::fromDouble(value);
}

void Lexer::lexRadix(qsizetype start, int base)
{
    const qsizetype n = text_.size();
    pos_ += 2;
    quint64 value = 0;
    int significant = 0;
    bool tooLong = false;
    while (pos_ < n && digitValue(text_[pos_].unicode()) < base) {
        const int d = digitValue(text_[pos_++].unicode());
        if (value == 0 && d == 0) continue;
        value = value * quint64(base) + quint64(d);
        ++significant;
        if (value > 0xFFFFFFFFull) tooLong = true, value = 0xFFFFFFFFull + 1;
    }
    bool forceLong = false;
    if (pos_ < n && text_[pos_] == QLatin1Char('&')) {
        forceLong = true;
        ++pos_;
    }
    if (tooLong) {
        fail(start, ErrorNumbers::InvalidNumber);
        return;
    }
    token_.kind = Token::Kind::Number;
    token_.position = start;
    const bool fitsInteger = base == 16 ? significant <= 4 : value <= 0xFFFF;
    if (!forceLong && fitsInteger)
        token_.value = Variant::fromInteger(qint16(quint16(value)));
    else
        token_.value = Variant::fromLong(qint32(quint32(value)));
}

void Lexer::lexString(qsizetype start)
{
    const qsizetype n = text_.size();
    ++pos_;
    QString s;
    for (;;) {
        if (pos_ >= n || text_[pos_] == QLatin1Char('\n') || text_[pos_] == QLatin1Char('\r')) {
            fail(start, ErrorNumbers::UnterminatedString);
            return;
        }
        if (text_[pos_] == QLatin1Char('"')) {
            if (pos_ + 1 < n && text_[pos_ + 1] == QLatin1Char('"')) {
                s.append(QLatin1Char('"'));
                pos_ += 2;
                continue;
            }
            ++pos_;
            break;
        }
        s.append(text_[pos_++]);
    }
    token_.kind = Token::Kind::String;
    token_.position = start;
    token_.value = Variant::fromString(s);
}

void Lexer::lexWord(qsizetype start)
{
    const qsizetype n = text_.size();
    while (pos_ < n) {
        const char16_t c = text_[pos_].unicode();
        if (!isAsciiLetter(c) && !isDigit(c) && c != '_') break;
        ++pos_;
    }
    token_.position = start;
    if (pos_ - start > MaxIdentifierLength) {
        fail(start, ErrorNumbers::IdentifierTooLong);
        return;
    }
    token_.name = text_.mid(start, pos_ - start);
    const QString lower = token_.name.toLower();
    if (lower == QLatin1String("rem")) {
        skipToLineEnd();
        advance();
        return;
    }
    for (const Keyword& k : kKeywords) {
        if (lower == QLatin1String(k.word)) {
            token_.kind = k.kind;
            return;
        }
    }
    for (const char* r : kReserved) {
        if (lower == QLatin1String(r)) {
            token_.kind = Token::Kind::Reserved;
            return;
        }
    }
    token_.kind = Token::Kind::Identifier;
}
