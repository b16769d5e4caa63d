#pragma once

#include <QString>

// Number parsing and formatting with "." as the decimal separator, whatever the locale.

// The leading number of a text: blanks, tabs and line feeds are skipped wherever they stand;
// then an optional sign, digits, an optional "." with digits and an optional exponent (E or D,
// optional sign, digits). Reading stops at the first other character; a text that does not
// begin with a number gives 0.
double LeadingNumber(const QString& text);

// The shortest decimal text of a value with at most 15 significant digits ("2", "-2.5", "0.5",
// "1E+20"): the number-to-text of the step buttons and the command line.
QString FormatNumber15(double value);

// The same with at most 7 significant digits, for single-precision values (zoom and pan, the
// setup file, the report).
QString FormatNumber7(float value);

// A complete number in the same notation, as a strict conversion of a whole text: blanks may
// surround it but not stand inside it; false when the text is not exactly one number.
bool ParseCompleteNumber(const QString& text, double& value);
