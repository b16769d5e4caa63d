#pragma once

// The start-up check of the decimal separator. main() builds a guard over
// ProcessDecimalSeparator and a question that shows a Yes/No/Cancel box with the critical
// icon, calls CheckDecimalSeparator() before the main window exists (false: end the program
// at once) and RestoreDecimalSeparator() when the main window unloads.

#include <QString>
#include <QStringList>
#include <functional>

// Where the user's decimal separator is read and written.
class DecimalSeparatorSetting
{
public:
    virtual ~DecimalSeparatorSetting() = default;
    // The user's separator; empty when it cannot be read.
    virtual QString read() const = 0;
    // "." switches to the decimal point; the separator read at start-up puts it back.
    virtual void write(const QString& separator) = 0;
};

class DecimalSeparatorGuard
{
public:
    enum class Answer
    {
        Yes,
        No,
        Cancel
    };
    using Question = std::function<Answer(const QString& title, const QString& text)>;

    DecimalSeparatorGuard(DecimalSeparatorSetting& setting, Question ask);

    // Reads the separator; anything but "." exactly asks the question, and Yes switches to
    // ".". False when start-up must end (No, Cancel, or the box closed).
    bool CheckDecimalSeparator();

    // Writes the separator read at start-up back; an empty one (the setting could not be
    // read) is never written.
    void RestoreDecimalSeparator();

    const QString& savedDecimalSeparator() const { return SavedDecimalSeparator; }

    static QString title();            // "Decimal Comma Warning!"
    static const QStringList& lines(); // the eight lines of the warning
    static QString text();             // the lines joined with "\n"

private:
    void ReadDecimalSeparator();
    void SetDecimalPoint();

    DecimalSeparatorSetting& setting_;
    Question ask_;
    QString SavedDecimalSeparator;
};
