#pragma once

#include "eval/Variant.h"

#include <QHash>
#include <QString>
#include <deque>
#include <vector>

class Class1;

// The names an expression can see: the members of the added objects, the objects themselves,
// the built-in functions and the script's own variables. A script variable keeps its slot for
// the engine's life, so compiled programs address it directly.
class GlobalNames
{
public:
    // A script variable. number and fast mirror value for the all-double path: fast is true
    // when the value is Empty, Boolean, Integer, Long or Double.
    struct Slot
    {
        Variant value;
        double number = 0;
        bool fast = true;

        void set(const Variant& v);
    };

    enum class Kind
    {
        None,
        MemberDouble,
        MemberInt32,
        Method,
        Object,
        Builtin,
        Variable
    };

    struct Resolution
    {
        Kind kind = Kind::None;
        void* address = nullptr; // the member, or the object for Method and Object
        int index = -1;          // the method, built-in or variable slot
    };

    void addObject(const QString& name, Class1* object, bool membersGlobal);

    // What a plain name means; a name that is nothing else becomes a script variable.
    // `called`: the name is followed by an argument list (call-only methods answer only then).
    Resolution resolve(const QString& name, bool called = false);
    // What object.member means; Kind::None when the object has no such member.
    static Resolution member(Class1* object, const QString& name, bool called = true);

    Slot& slot(int index) { return slots_[std::size_t(index)]; }
    const Slot& slot(int index) const { return slots_[std::size_t(index)]; }
    // Sets a variable, within one budget of characters for the strings of all variables (the
    // user constants among them); false, changing nothing, when it would be exceeded.
    bool store(int index, const Variant& v);
    static constexpr qint64 HeldStringBudget = 4 * Variant::MaxStringLength;
    qsizetype variableCount() const { return qsizetype(slots_.size()); }

private:
    struct Object
    {
        QString name;
        Class1* object;
        bool membersGlobal;
    };
    std::vector<Object> objects_;
    std::deque<Slot> slots_;
    QHash<QString, int> variables_; // lower-case name to slot
    qint64 heldChars_ = 0;          // the characters of the strings in slots_
};
