#pragma once

#include "eval/Message.h"

#include <QString>

// What the core asks of its surroundings: the window answers with message boxes, the cursor,
// the beep and repaints; the command line with standard error and nothing else.
class SessionHost
{
public:
    virtual ~SessionHost() = default;

    // A message the window shows in a box with an OK button; an empty caption means the
    // program's default title.
    virtual void showMessage(const QString& text, const QString& caption) = 0;
    // A message with its parts: the window also puts the cursor into its field, the command
    // line names its subject. By default the text with its hint, as showMessage shows it.
    virtual void report(const Message& message)
    {
        showMessage(message.hint.isEmpty() ? message.text
                                           : message.text + QLatin1Char('\n') + message.hint,
                    message.caption);
    }
    // A remark beside a field that needs no answer (the window shows it briefly, the command
    // line prints it); by default nothing.
    virtual void note(const Message& /*message*/) {}
    // Lets pending window events run (the fixed points of a plot).
    virtual void processEvents() = 0;
    virtual void beep() = 0;
    virtual void setBusy(bool busy) = 0; // the hourglass pointer during a plot
    virtual void viewsChanged() = 0;     // a view's geometry or pixels changed
    virtual void constantsChanged() = 0; // the constants list changed: refill the combo box
    // A question with Yes and No; true for Yes. Without someone to ask, the answer is No.
    virtual bool ask(const QString& /*question*/, const QString& /*caption*/) { return false; }
};
