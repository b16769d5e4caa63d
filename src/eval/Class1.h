#pragma once

#include <QtGlobal>

// The evaluation context added to the engine under the name "sh" with its members global:
// the variables every expression sees and eight functions the language lacks. Each function
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

    // The eight functions by name; compiled programs carry the index into this table.
    struct Method
    {
        const char* name;
        double (Class1::*call)(double);
    };
    static const Method methods[8];

private:
    double fail(qint32 number);
    qint32* windowError_ = nullptr;
};

inline constexpr Class1::Method Class1::methods[8] = {
    {"Asin", &Class1::Asin},   {"Acos", &Class1::Acos},   {"Sinh", &Class1::Sinh},
    {"Cosh", &Class1::Cosh},   {"Tanh", &Class1::Tanh},   {"Asinh", &Class1::Asinh},
    {"Acosh", &Class1::Acosh}, {"Atanh", &Class1::Atanh},
};
