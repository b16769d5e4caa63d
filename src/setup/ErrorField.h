#pragma once

#include <QString>

class FormFields;

// The text field an engine message is about, found from the control read last: a field is read
// right before its evaluation, so it is the one; once the equations were read (they come last
// in the plot setup) the failure arose while drawing, in one of the equations shown.
namespace ErrorField {
// The control ("txtStereo") a message is about when it is the engine's message (the text of its
// last error) or the plot setup's "... in Stereo"; empty for any other message.
QString of(const FormFields& fields, const QString& message, const QString& engineMessage);

// The message as the command line prints it: "tavrigon: ", then "Stereo: " when it is about a
// field (a trailing " in Stereo" dropped), then the text.
QString consoleLine(const QString& text, const QString& caption, const QString& control);
} // namespace ErrorField
