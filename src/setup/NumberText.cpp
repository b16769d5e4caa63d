#include "setup/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The leading number as ASCII text ("D" exponents become "E"); blanks removed.
std::string leadingNumberText(const QString& text, qsizetype* consumed)
{
    std::string out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (i < n && isBlank(text.at(i)))
            ++i;
    };
    auto digits = [&] {
        bool any = false;
        for (skip(); i < n && text.at(i).isDigit() && text.at(i).unicode() < 128; skip()) {
            out.push_back(char(text.at(i).unicode()));
            ++i;
            any = true;
        }
        return any;
    };
    skip();
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        out.push_back(char(text.at(i).unicode()));
        ++i;
    }
    bool mantissa = digits();
    skip();
    if (i < n && text.at(i) == QLatin1Char('.')) {
        const qsizetype save = i;
        const std::size_t saveOut = out.size();
        out.push_back('.');
        ++i;
        if (digits())
            mantissa = true;
        else if (!mantissa) {
            i = save;
            out.resize(saveOut);
        }
    }
    if (!mantissa) {
        if (consumed) *consumed = 0;
        return {};
    }
    skip();
    if (i < n) {
        const QChar c = text.at(i).toUpper();
        if (c == QLatin1Char('E') || c == QLatin1Char('D')) {
            const qsizetype save = i;
            const std::size_t saveOut = out.size();
            out.push_back('E');
            ++i;
            skip();
            if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
                out.push_back(char(text.at(i).unicode()));
                ++i;
            }
            if (!digits()) {
                i = save;
                out.resize(saveOut);
            }
        }
    }
    skip();
    if (consumed) *consumed = i;
    return out;
}

// The value of a text made by leadingNumberText; out of range gives an infinity or 0, as
// strtod would, but in any locale.
double toDouble(const std::string& text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    double value = 0;
    const auto res = std::from_chars(first, last, value);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large or too small: tell them apart by the exponent's sign.
        const std::string rest(first, last);
        const auto e = rest.find('E');
        const bool tiny = e != std::string::npos && e + 1 < rest.size() && rest[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

QString shortest(double value, int digits)
{
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0) return QStringLiteral("0");
    // Locale-independent, whatever LC_NUMERIC says: like printf's %.*G.
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    std::string s(buf, res.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    // Drop the trailing zeros of the mantissa and a bare point; keep the exponent.
    const std::size_t e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    const std::string exp = e == std::string::npos ? std::string() : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0')
            mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    return QString::fromLatin1(mant + exp);
}
} // namespace

double LeadingNumber(const QString& text)
{
    const std::string s = leadingNumberText(text, nullptr);
    if (s.empty()) return 0;
    return toDouble(s);
}

QString FormatNumber15(double value)
{
    return shortest(value, 15);
}

QString FormatNumber7(float value)
{
    return shortest(double(value), 7);
}

bool ParseCompleteNumber(const QString& text, double& value)
{
    // Blanks may surround the number but not stand inside it.
    qsizetype first = 0, last = text.size();
    while (first < last && isBlank(text.at(first)))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    for (qsizetype i = first; i < last; ++i)
        if (isBlank(text.at(i))) return false;
    qsizetype consumed = 0;
    const std::string s = leadingNumberText(text, &consumed);
    if (s.empty() || consumed != text.size()) return false;
    value = toDouble(s);
    return std::isfinite(value);
}
