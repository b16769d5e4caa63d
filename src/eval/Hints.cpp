#include "eval/Hints.h"
#include "eval/ScriptError.h"

#include "eval/Builtins.h"
#include "eval/Class1.h"
#include "eval/Lexer.h"

#include <QStringList>
#include <algorithm>
#include <iterator>
#include <vector>

namespace {

using Kind = Token::Kind;

// One token of the text with its extent; the text of a token runs to the next one.
struct Piece
{
    Kind kind;
    qsizetype begin;
    qsizetype end;
    QString name;
};

// The tokens of text up to its end or first lexical error (which is kept), at most a bounded
// number of them: a hint never costs more than a short scan.
std::vector<Piece> piecesOf(const QString& text)
{
    constexpr std::size_t Limit = 4096;
    std::vector<Piece> pieces;
    Lexer lexer(text);
    lexer.advance();
    while (pieces.size() < Limit) {
        const Token& t = lexer.current();
        if (!pieces.empty()) pieces.back().end = t.position;
        if (t.kind == Kind::End) break;
        pieces.push_back({t.kind, t.position, text.size(), t.name});
        if (t.kind == Kind::Error) {
            pieces.back().end = t.position + 1;
            break;
        }
        lexer.advance();
    }
    return pieces;
}

QString textOf(const QString& text, const Piece& p)
{
    return text.mid(p.begin, p.end - p.begin).trimmed();
}

// The index of the piece starting at position, or -1.
int pieceAt(const std::vector<Piece>& pieces, qsizetype position)
{
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].begin == position) return int(i);
    }
    return -1;
}

bool isOperand(Kind k)
{
    return k == Kind::Number || k == Kind::Identifier || k == Kind::RightParen;
}

// The text of the operand starting at piece i: a name, a number, or a whole parenthesised
// group (shortened when long).
QString operandText(const QString& text, const std::vector<Piece>& pieces, int i)
{
    if (i < 0 || i >= int(pieces.size())) return {};
    if (pieces[std::size_t(i)].kind != Kind::LeftParen) return textOf(text, pieces[std::size_t(i)]);
    int depth = 0;
    for (std::size_t j = std::size_t(i); j < pieces.size(); ++j) {
        if (pieces[j].kind == Kind::LeftParen) ++depth;
        if (pieces[j].kind == Kind::RightParen && --depth == 0) {
            const QString group = text.mid(pieces[std::size_t(i)].begin,
                                           pieces[j].begin + 1 - pieces[std::size_t(i)].begin);
            return group.size() <= 24 ? group : QStringLiteral("(...)");
        }
    }
    return QStringLiteral("(...)");
}

// The operand before piece i: a name or number, or the group a ")" closes.
QString operandBefore(const QString& text, const std::vector<Piece>& pieces, int i)
{
    if (i <= 0) return {};
    const Piece& p = pieces[std::size_t(i - 1)];
    if (p.kind != Kind::RightParen) return textOf(text, p);
    int depth = 0;
    for (int j = i - 1; j >= 0; --j) {
        if (pieces[std::size_t(j)].kind == Kind::RightParen) ++depth;
        if (pieces[std::size_t(j)].kind == Kind::LeftParen && --depth == 0) {
            const QString group =
                text.mid(pieces[std::size_t(j)].begin, p.begin + 1 - pieces[std::size_t(j)].begin);
            return group.size() <= 24 ? group : QStringLiteral("(...)");
        }
    }
    return QStringLiteral("(...)");
}

// The first word after the character at position, for operators the lexer cannot read.
QString wordAfter(const QString& text, qsizetype position)
{
    const std::vector<Piece> rest = piecesOf(text.mid(position + 1));
    return rest.empty() || rest.front().kind == Kind::Error
               ? QString()
               : operandText(text.mid(position + 1), rest, 0);
}

bool isFunctionName(const QString& name)
{
    if (Builtins::find(name) >= 0) return true;
    return std::any_of(std::begin(Class1::methods), std::end(Class1::methods),
                       [&](const Class1::Method& m) {
                           return name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0;
                       });
}

// Characters of printed formulas, and what the language writes for them.
struct Character
{
    char16_t c;
    const char* hint;
};
constexpr Character kCharacters[] = {
    {u'\u00D7', "write * for a product"},
    {u'\u00B7', "write * for a product"},
    {u'\u2219', "write * for a product"},
    {u'\u22C5', "write * for a product"},
    {u'\u00F7', "write / for a division"},
    {u'\u2212', "write - (the keyboard's minus)"},
    {u'\u03C0', "write pi"},
    {u'\u221A', "write Sqrt(x) for a square root"},
    {u'[', "write ( and ) for grouping"},
    {u']', "write ( and ) for grouping"},
    {u'{', "write ( and ) for grouping"},
    {u'}', "write ( and ) for grouping"},
    {u'|', "write Abs(x) for an absolute value, Or for \"or\""},
    {u';', "separate arguments with a comma: Min(a, b)"},
    {u'\u2264', "write <="},
    {u'\u2265', "write >="},
    {u'\u2260', "write <>"},
};

QString characterHint(const QString& text, const std::vector<Piece>& pieces, qsizetype position)
{
    const char16_t c = text.at(position).unicode();
    for (const Character& k : kCharacters) {
        if (k.c == c) return QString::fromUtf8(k.hint);
    }
    const char16_t next = position + 1 < text.size() ? text.at(position + 1).unicode() : 0;
    const QString before = operandBefore(text, pieces, int(pieces.size()));
    const QString a = before.isEmpty() ? QStringLiteral("a") : before;
    switch (c) {
    case u'%': {
        const QString b = wordAfter(text, position);
        return QStringLiteral("write Mod for the remainder: %1 Mod %2")
            .arg(a, b.isEmpty() ? QStringLiteral("b") : b);
    }
    case u'!': {
        if (next == u'=') return QStringLiteral("write <> for \"not equal\"");
        bool whole = false;
        const int n = before.toInt(&whole);
        if (whole && n >= 1 && n <= 10) {
            QStringList factors;
            for (int i = 1; i <= n; ++i)
                factors << QString::number(i);
            return QStringLiteral("there is no factorial (!): write the product, %1 for %2!")
                .arg(factors.join(QLatin1Char('*')), before);
        }
        return QStringLiteral("there is no factorial (!): write the product out, 1*2*3 for 3!");
    }
    case u'\u00B2':
    case u'\u00B3':
        return QStringLiteral("write ^ for a power: %1^%2").arg(a).arg(c == u'\u00B2' ? 2 : 3);
    default:
        return {};
    }
}

// Where a parenthesis has no partner, or empty when they all pair.
QString parenthesisHint(const std::vector<Piece>& pieces)
{
    std::vector<qsizetype> open;
    for (const Piece& p : pieces) {
        if (p.kind == Kind::LeftParen) open.push_back(p.begin);
        if (p.kind == Kind::RightParen) {
            if (open.empty())
                return QStringLiteral("the ) at character %1 has no ( before it").arg(p.begin + 1);
            open.pop_back();
        }
    }
    if (open.empty()) return {};
    return QStringLiteral("the ( at character %1 has no )").arg(open.back() + 1);
}

// Two operands side by side: a product without its "*", or a function without parentheses.
QString juxtapositionHint(const QString& text, const std::vector<Piece>& pieces, int i)
{
    const Piece& prev = pieces[std::size_t(i - 1)];
    const Piece& cur = pieces[std::size_t(i)];
    if (!isOperand(prev.kind)) return {};
    if (cur.kind != Kind::Number && cur.kind != Kind::Identifier && cur.kind != Kind::LeftParen)
        return {};
    const QString right = operandText(text, pieces, i);
    if (prev.kind == Kind::Identifier && isFunctionName(prev.name))
        return QStringLiteral("write %1(%2): the argument goes in parentheses")
            .arg(prev.name, right);
    return QStringLiteral("a product needs *: write %1*%2")
        .arg(operandBefore(text, pieces, i), right);
}

int distance(const QString& a, const QString& b)
{
    // Optimal string alignment: edits and swaps of neighbours, any case.
    const QString s = a.toLower();
    const QString t = b.toLower();
    const qsizetype n = s.size();
    const qsizetype m = t.size();
    std::vector<std::vector<int>> d(std::size_t(n + 1), std::vector<int>(std::size_t(m + 1)));
    for (qsizetype i = 0; i <= n; ++i)
        d[std::size_t(i)][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][std::size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = s[i - 1] == t[j - 1] ? 0 : 1;
            int v = std::min({d[std::size_t(i - 1)][std::size_t(j)] + 1,
                              d[std::size_t(i)][std::size_t(j - 1)] + 1,
                              d[std::size_t(i - 1)][std::size_t(j - 1)] + cost});
            if (i > 1 && j > 1 && s[i - 1] == t[j - 2] && s[i - 2] == t[j - 1])
                v = std::min(v, d[std::size_t(i - 2)][std::size_t(j - 2)] + 1);
            d[std::size_t(i)][std::size_t(j)] = v;
        }
    }
    return d[std::size_t(n)][std::size_t(m)];
}

} // namespace

QString Hints::nearestFunction(const QString& name)
{
    struct Alias
    {
        const char* written;
        const char* meant;
    };
    static constexpr Alias kAliases[] = {
        {"arcsin", "Asin"},  {"arccos", "Acos"},  {"arctan", "Atan"},  {"arctg", "Atan"},
        {"sign", "Sgn"},     {"signum", "Sgn"},   {"trunc", "Fix"},    {"tg", "Tan"},
        {"lg", "Log10"},     {"power", "Pow"},    {"root", "Sqrt"},    {"ceiling", "Ceil"},
        {"sine", "Sin"},     {"cosine", "Cos"},   {"tangent", "Tan"},  {"absolute", "Abs"},
        {"minimum", "Min"},  {"maximum", "Max"},  {"ld", "Log2"},      {"asn", "Asin"},
        {"arsinh", "Asinh"}, {"arcosh", "Acosh"}, {"artanh", "Atanh"},
    };
    if (name.size() > Lexer::MaxIdentifierLength) return {};
    for (const Alias& a : kAliases) {
        if (name.compare(QLatin1String(a.written), Qt::CaseInsensitive) == 0)
            return QLatin1String(a.meant);
    }
    QStringList known;
    for (int id = 0; id < Builtins::Count; ++id)
        known << QLatin1String(Builtins::name(id));
    for (const Class1::Method& m : Class1::methods)
        known << QLatin1String(m.name);
    const int allowed = name.size() <= 4 ? 1 : 2;
    QString best;
    int bestDistance = allowed + 1;
    for (const QString& k : std::as_const(known)) {
        if (std::abs(k.size() - name.size()) > allowed) continue;
        const int d = distance(name, k);
        if (d < bestDistance) {
            bestDistance = d;
            best = k;
        }
    }
    return best;
}

QString Hints::forError(const QString& text, qint32 number, qsizetype position, const QString& name)
{
    using namespace ErrorNumbers;
    if (ErrorNumbers::isPointFailure(number) || position < 0 || position > text.size()) return {};
    switch (number) {
    case TypeMismatch: {
        if (name.isEmpty()) return {};
        const QString meant = nearestFunction(name);
        if (!meant.isEmpty() && meant.compare(name, Qt::CaseInsensitive) != 0)
            return QStringLiteral("did you mean %1?").arg(meant);
        // A name that is no function, followed by a group: a product without its "*".
        const std::vector<Piece> pieces = piecesOf(text);
        const int i = pieceAt(pieces, position);
        if (i < 0 || i + 1 >= int(pieces.size())) return {};
        return QStringLiteral("%1 is no function; for a product write %1*%2")
            .arg(name, operandText(text, pieces, i + 1));
    }
    case WrongArgumentCount: {
        const std::vector<Piece> pieces = piecesOf(text);
        const int i = pieceAt(pieces, position);
        if (i < 0 || pieces[std::size_t(i)].kind != Kind::Identifier) return {};
        const QString called = pieces[std::size_t(i)].name;
        for (const Class1::Method& m : Class1::methods) {
            if (called.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0)
                return m.argc() == 2
                           ? QStringLiteral("%1 takes two arguments: %1(a, b)").arg(m.name)
                           : QStringLiteral("%1 takes one argument: %1(a)").arg(m.name);
        }
        return {};
    }
    case InvalidCharacter: {
        if (position >= text.size()) return {};
        return characterHint(text, piecesOf(text.left(position)), position);
    }
    case SyntaxError: {
        const std::vector<Piece> pieces = piecesOf(text);
        const int i = pieceAt(pieces, position);
        if (i < 0) return {};
        const Piece& p = pieces[std::size_t(i)];
        const Kind before = i > 0 ? pieces[std::size_t(i - 1)].kind : Kind::End;
        if (p.kind == Kind::Star && before == Kind::Star)
            return QStringLiteral("write ^ for a power: %1^%2")
                .arg(operandBefore(text, pieces, i - 1), operandText(text, pieces, i + 1));
        if (p.kind == Kind::Equal && before == Kind::Equal)
            return QStringLiteral("write = once: a = b compares");
        if (p.kind == Kind::Mod) return QStringLiteral("Mod goes between its operands: 7 Mod 3");
        if (p.kind == Kind::End || p.kind == Kind::RightParen) return parenthesisHint(pieces);
        return {};
    }
    case ExpectedRightParen:
    case ExpectedEndOfStatement: {
        const std::vector<Piece> pieces = piecesOf(text);
        const int i = pieceAt(pieces, position);
        if (i > 0) {
            const Piece& p = pieces[std::size_t(i)];
            if (p.kind == Kind::Comma && pieces[std::size_t(i - 1)].kind == Kind::Number &&
                i + 1 < int(pieces.size()) && pieces[std::size_t(i + 1)].kind == Kind::Number)
                return QStringLiteral("the decimal separator is a point: write %1.%2")
                    .arg(textOf(text, pieces[std::size_t(i - 1)]),
                         textOf(text, pieces[std::size_t(i + 1)]));
            if (const QString h = juxtapositionHint(text, pieces, i); !h.isEmpty()) return h;
        }
        return parenthesisHint(pieces);
    }
    default:
        return {};
    }
}
