#include "setup/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The leading number as ASCII text for strtod ("D" exponents become "E"); blanks removed.
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
        if (consumed)
            *consumed = 0;
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
    if (consumed)
        *consumed = i;
    return out;
}

QString shortest(double value, int digits)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    std::string s(buf);
    // Drop the trailing zeros of the mantissa and a bare point; keep the exponent.
    const std::size_t e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    const std::string exp = e == std::string::npos ? std::string() : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0')
            mant.pop_back();
        if (!mant.empty() && mant.back() == '.')
            mant.pop_back();
    }
    return QString::fromLatin1(mant + exp);
}
} // namespace

double LeadingNumber(const QString& text)
{
    const std::string s = leadingNumberText(text, nullptr);
    if (s.empty())
        return 0;
    return std::strtod(s.c_str(), nullptr);
}

QString FormatNumber15(double value) { return shortest(value, 15); }

QString FormatNumber7(float value) { return shortest(double(value), 7); }

bool ParseCompleteNumber(const QString& text, double& value)
{
    qsizetype consumed = 0;
    const std::string s = leadingNumberText(text, &consumed);
    if (s.empty() || consumed != text.size())
        return false;
    value = std::strtod(s.c_str(), nullptr);
    return std::isfinite(value);
}
