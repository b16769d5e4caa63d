#pragma once

// The user constants: texts "name=value" sent to the engine as assignment statements. The
// Session owns one; its add and remove commands call add() and remove(), Plot calls
// registerAll() after reading the setup, Open calls setAll(). The window's combo box mirrors
// list() after every change.

#include <QString>
#include <QStringList>

class ScriptEngine;

class UserConstants
{
public:
    static constexpr qint32 Capacity = 101;

    enum class AddResult
    {
        Added,
        Refused,
        ListFull
    };

    // Refuses, changing nothing, a text without "=" or whose name (before the first "=") is
    // empty, does not begin with an ASCII letter or holds anything but ASCII letters and
    // digits. An entry of the same name (case-sensitive) is replaced and the text goes to the
    // end. A new name when the list is full is refused with ListFull.
    AddResult add(const QString& text);

    // Drops entry index and runs "name=0" through the engine. False when there is no such entry.
    bool remove(int index, ScriptEngine& engine);

    // Runs every entry as one statement, in list order; a failing statement (reported by the
    // engine's error handler) does not stop the others. 0, or the first failure's number.
    qint32 registerAll(ScriptEngine& engine) const;

    // Replaces the whole list with texts as read from a setup file. False, changing nothing,
    // for more than Capacity texts.
    bool setAll(const QStringList& texts);

    // The texts in order of registration, as the combo box lists them; ConstantCount is
    // their number.
    const QStringList& list() const { return ConstantList; }
    qint32 count() const { return qint32(ConstantList.size()); }

    // Gives the constant `name` (case-sensitive) the value text `value` where it stands in the
    // list, so that constants below it that use it follow. False when there is no such entry.
    bool setValue(const QString& name, const QString& value);
    static bool setValue(QStringList& texts, const QString& name, const QString& value);

    // The name part of a constant text when it is acceptable, else empty.
    static QString nameOf(const QString& text);
    // The index of the entry of `texts` named `name` (case-sensitive), or -1.
    static int indexOfName(const QStringList& texts, const QString& name);

private:
    QStringList ConstantList; // at most Capacity entries
};
