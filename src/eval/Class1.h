#pragma once

#include <QtGlobal>

// The evaluation context added to the engine under the name "sh" with its members global:
// the variables every expression sees and the functions the language lacks. Each function
// traps its own failure: it stores the error number in ierr (and in the owner's error number,
// when one is attached) and returns 0, so the engine's evaluation ends normally.
class Class1
{
public:
    double pi = 0;
    double halfpi = 0;
    double e = 0;
    double x = 0;
    double y = 0;
    double u = 0;
    double v = 0;
    qint32 ierr = 0;

    // The main window's evaluation error number, written alongside ierr on a failure.
    void attachWindowError(qint32* windowError) { windowError_ = windowError; }

    double Asin(double a);
    double Acos(double a);
    double Sinh(double a);
    double Cosh(double a);
    double Tanh(double a);
    double Asinh(double a);
    double Acosh(double a);
    double Atanh(double a);

    // The usual names of textbooks. A user constant may carry one of these names (files
    // written before they existed do): such a name is the function only where it is called.
    double Sqrt(double a);
    double Ln(double a);
    double Log10(double a);
    double Log2(double a);
    double Atan(double a);
    double Atan2(double y, double x);
    double Floor(double a);
    double Ceil(double a);
    double Min(double a, double b);
    double Max(double a, double b);
    double Pow(double a, double b);
    double Hypot(double a, double b);
    double Cbrt(double a);

    // The functions by name; compiled programs carry the index into this table. Each has
    // one or two arguments: call or call2 is set.
    struct Method
    {
        const char* name;
        double (Class1::*call)(double) = nullptr;
        double (Class1::*call2)(double, double) = nullptr;
        bool callOnly = false; // named only by a call: elsewhere the name is a script variable

        constexpr int argc() const { return call2 ? 2 : 1; }
    };
    static const Method methods[21];

private:
    double fail(qint32 number);
    qint32* windowError_ = nullptr;
};

inline constexpr Class1::Method Class1::methods[21] = {
    {"Asin", &Class1::Asin},
    {"Acos", &Class1::Acos},
    {"Sinh", &Class1::Sinh},
    {"Cosh", &Class1::Cosh},
    {"Tanh", &Class1::Tanh},
    {"Asinh", &Class1::Asinh},
    {"Acosh", &Class1::Acosh},
    {"Atanh", &Class1::Atanh},
    {"Sqrt", &Class1::Sqrt, nullptr, true},
    {"Ln", &Class1::Ln, nullptr, true},
    {"Log10", &Class1::Log10, nullptr, true},
    {"Log2", &Class1::Log2, nullptr, true},
    {"Atan", &Class1::Atan, nullptr, true},
    {"Atan2", nullptr, &Class1::Atan2, true},
    {"Floor", &Class1::Floor, nullptr, true},
    {"Ceil", &Class1::Ceil, nullptr, true},
    {"Min", nullptr, &Class1::Min, true},
    {"Max", nullptr, &Class1::Max, true},
    {"Pow", nullptr, &Class1::Pow, true},
    {"Hypot", nullptr, &Class1::Hypot, true},
    {"Cbrt", &Class1::Cbrt, nullptr, true},
};
