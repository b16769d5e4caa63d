#include "eval/GlobalNames.h"

#include "eval/Builtins.h"
#include "eval/Class1.h"

#include <iterator>

void GlobalNames::Slot::set(const Variant& v)
{
    value = v;
    fast = v.isPlainNumber();
    number = fast ? v.number() : 0;
}

bool GlobalNames::store(int index, const Variant& v)
{
    Slot& s = slot(index);
    const qint64 old = s.value.isString() ? s.value.stringValue().size() : 0;
    const qint64 next = v.isString() ? v.stringValue().size() : 0;
    if (next > old && heldChars_ - old + next > HeldStringBudget) return false;
    heldChars_ += next - old;
    s.set(v);
    return true;
}

void GlobalNames::addObject(const QString& name, Class1* object, bool membersGlobal)
{
    objects_.push_back({name, object, membersGlobal});
}

GlobalNames::Resolution GlobalNames::member(Class1* object, const QString& name, bool called)
{
    Resolution r;
    struct Field
    {
        const char* name;
        double Class1::*member;
    };
    static constexpr Field kFields[] = {
        {"pi", &Class1::pi}, {"halfpi", &Class1::halfpi}, {"e", &Class1::e}, {"x", &Class1::x},
        {"y", &Class1::y},   {"u", &Class1::u},           {"v", &Class1::v},
    };
    for (const Field& f : kFields) {
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) {
            r.kind = Kind::MemberDouble;
            r.address = &(object->*f.member);
            return r;
        }
    }
    if (name.compare(QLatin1String("ierr"), Qt::CaseInsensitive) == 0) {
        r.kind = Kind::MemberInt32;
        r.address = &object->ierr;
        return r;
    }
    for (int i = 0; i < int(std::size(Class1::methods)); ++i) {
        if (Class1::methods[i].callOnly && !called) continue;
        if (name.compare(QLatin1String(Class1::methods[i].name), Qt::CaseInsensitive) == 0) {
            r.kind = Kind::Method;
            r.address = object;
            r.index = i;
            return r;
        }
    }
    return r;
}

GlobalNames::Resolution GlobalNames::resolve(const QString& name, bool called)
{
    for (const Object& o : objects_) {
        if (!o.membersGlobal) continue;
        const Resolution r = member(o.object, name, called);
        if (r.kind != Kind::None) return r;
    }
    Resolution r;
    for (const Object& o : objects_) {
        if (name.compare(o.name, Qt::CaseInsensitive) == 0) {
            r.kind = Kind::Object;
            r.address = o.object;
            return r;
        }
    }
    const int builtin = Builtins::find(name);
    if (builtin >= 0) {
        r.kind = Kind::Builtin;
        r.index = builtin;
        return r;
    }
    const QString key = name.toLower();
    auto it = variables_.constFind(key);
    if (it == variables_.constEnd()) {
        slots_.emplace_back();
        it = variables_.insert(key, int(slots_.size() - 1));
    }
    r.kind = Kind::Variable;
    r.index = it.value();
    return r;
}
