#pragma once

#include "eval/Message.h"

class Class1;
class FormFields;
class ScriptEngine;
struct PlotSetup;

// Copies the window's fields into the plot setup and computes the derived values, in a fixed
// order: the drawing options, the expression fields through the engine, the counts through
// LeadingNumber, the spans, steps and ratios, the derivative orders and selector, then the equation
// texts. Each value is stored before the next is read, so a failure leaves the earlier fields new
// and the later ones as they were.
//
// Returns false on failure. `message` then has an empty text when the engine has already shown
// the failure through its error handler, otherwise a text for the user, with the field it is
// about. While a field is evaluated it is the engine's subject, so the engine's own messages
// name it too. With `context`, a failure trapped inside one of its functions (which leaves the
// engine's evaluation successful) fails the field too.
bool ReadPlotSetup(PlotSetup& setup, const FormFields& fields, ScriptEngine& engine,
                   Message& message, Class1* context = nullptr);
