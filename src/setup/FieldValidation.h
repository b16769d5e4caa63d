#pragma once

// The focus checks of the text fields, as pure functions over the field texts. The window
// attaches them: on focus received every field of focusSelectFields() selects its text; on
// the cancellable validation of a field in validatedFields() it keeps the focus when
// validate() is false; on focus lost of a field in limitFields() it moves the focus to
// limitPairPartner() when that is not empty; on focus lost of a field in derivativeFields()
// (after a successful validation) to derivativeSumPartner() when that is not empty.
// Evaluate is the engine evaluation of Session::evaluateField.

#include <QString>
#include <QStringList>
#include <functional>

class FormFields;

namespace FieldValidation {
// The engine value of a field's text: 0 or the error number (the engine has shown its
// message, about that field).
using Evaluate = std::function<qint32(const QString& control, const QString& text, double& value)>;

const QStringList& focusSelectFields(); // all 46 text fields
const QStringList& validatedFields();   // the 12 with a validation
const QStringList& limitFields();       // the 10 window and domain limits
const QStringList& derivativeFields();  // txtXder, txtYder

// Whether the focus may leave the field. Fields without a validation always may; an engine
// failure refuses.
bool validate(const QString& control, const FormFields& fields, const Evaluate& evaluate);

// The other limit of the pair when the pair is out of order, else empty (also when an
// evaluation failed or the control is no limit).
QString limitPairPartner(const QString& control, const FormFields& fields,
                         const Evaluate& evaluate);

// The other derivative order when both together exceed 2, else empty.
QString derivativeSumPartner(const QString& control, const FormFields& fields);
} // namespace FieldValidation
