#include "eval/FastBatch.h"

#include "eval/Builtins.h"
#include "eval/Class1.h"
#include "eval/ScriptError.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

using Op = FastProgram::Op;
using K = FastProgram::Operand;
using A = FastProgram::Action;
using Step = FastProgram::Step;
constexpr int Lanes = FastBatch::Lanes;

// False for infinities and NaN, in a form the compiler vectorises.
inline bool finite(double v)
{
    return std::fabs(v) <= DBL_MAX;
}

bool usesP(K k)
{
    return k != K::C && k != K::I && k != K::Stack && k != K::None;
}

bool usesQ(K k)
{
    return k == K::VmulV || k == K::VaddV || k == K::VsubV;
}

// One run: the stack is an array of lane rows, row sp holding the accumulator.
class BatchRun
{
public:
    BatchRun(const Class1& class1, const FastBatch::Inputs& inputs, int n, FastBatch::Results& out,
             double* work)
        : class1_(class1), in_(inputs), n_(n), out_(out), work_(work)
    {
        std::fill(out.error, out.error + n, 0);
        std::fill(out.failedInstruction, out.failedInstruction + n, 0);
        std::fill(row(0), row(0) + n, 0.0);
    }

    void run(const FastProgram& program)
    {
        for (const Step& s : program.steps) {
            source_ = s.source;
            const FastProgram::OpInfo& info = FastProgram::info(s.op);
            if (info.operand != K::Stack && info.operand != K::None) {
                operandStep(s, info);
                continue;
            }
            if (s.op == Op::End || s.op == Op::EndCheck) {
                if (s.op == Op::EndCheck) check(acc(), ErrorNumbers::Overflow);
                std::copy(acc(), acc() + n_, out_.value);
                return;
            }
            otherStep(s, info);
        }
    }

private:
    double* row(int i) const { return work_ + std::ptrdiff_t(i) * Lanes; }
    double* acc() const { return row(sp_); }
    double* scratch(int i) const { return row(FastProgram::MaxStack + 2 + i); }

    // The lanes of a member: the caller's values for x, y, u and v, else the member broadcast.
    const double* lanes(const double* p, double* scratch) const
    {
        const double* given = p == &class1_.x   ? in_.x
                              : p == &class1_.y ? in_.y
                              : p == &class1_.u ? in_.u
                              : p == &class1_.v ? in_.v
                                                : nullptr;
        if (given) return given;
        std::fill(scratch, scratch + n_, *p);
        return scratch;
    }

    void fail(int i, qint32 number)
    {
        if (out_.error[i] == 0) {
            out_.error[i] = number;
            out_.failedInstruction[i] = source_;
        }
    }

    void check(const double* a, qint32 number)
    {
        bool bad = false;
        for (int i = 0; i < n_; ++i)
            bad |= !finite(a[i]);
        if (!bad) return;
        for (int i = 0; i < n_; ++i)
            if (!finite(a[i])) fail(i, number);
    }

    template <typename F> void combine(const double* p, const double* q, double* b, F f)
    {
        for (int i = 0; i < n_; ++i)
            b[i] = f(p[i], q[i]);
    }

    // The operand of a step, as FastInterpreter's operand functions give it.
    const double* operand(const Step& s, K kind)
    {
        double* b = scratch(0);
        if (kind == K::C) {
            std::fill(b, b + n_, s.c);
            return b;
        }
        if (kind == K::I) {
            std::fill(b, b + n_, double(*s.ip));
            return b;
        }
        const double* p = lanes(s.p, scratch(1));
        if (kind == K::V) return p;
        const double c = s.c;
        switch (kind) {
        case K::VaddC:
            for (int i = 0; i < n_; ++i)
                b[i] = p[i] + c;
            break;
        case K::VsubC:
            for (int i = 0; i < n_; ++i)
                b[i] = p[i] - c;
            break;
        case K::VmulC:
            for (int i = 0; i < n_; ++i)
                b[i] = p[i] * c;
            break;
        case K::CsubV:
            for (int i = 0; i < n_; ++i)
                b[i] = c - p[i];
            break;
        default: {
            const double* q = lanes(s.q, scratch(2));
            if (kind == K::VmulV) combine(p, q, b, [](double x, double y) { return x * y; });
            if (kind == K::VaddV) combine(p, q, b, [](double x, double y) { return x + y; });
            if (kind == K::VsubV) combine(p, q, b, [](double x, double y) { return x - y; });
            break;
        }
        }
        return b;
    }

    void operandStep(const Step& s, const FastProgram::OpInfo& info)
    {
        const double* b = operand(s, info.operand);
        const bool fused = info.operand != K::C && info.operand != K::V && info.operand != K::I;
        if (fused && info.checked) check(b, ErrorNumbers::Overflow);
        if (info.action == A::Load) {
            ++sp_;
            std::copy(b, b + n_, acc());
            return;
        }
        arithmetic(info, acc(), b);
    }

    // a = a + b (or -, *, /) on every lane, with the step's checks.
    void arithmetic(const FastProgram::OpInfo& info, double* a, const double* b)
    {
        switch (info.action) {
        case A::Add:
            for (int i = 0; i < n_; ++i)
                a[i] += b[i];
            break;
        case A::Sub:
            for (int i = 0; i < n_; ++i)
                a[i] -= b[i];
            break;
        case A::Mul:
            for (int i = 0; i < n_; ++i)
                a[i] *= b[i];
            break;
        default: // Div
            for (int i = 0; i < n_; ++i) {
                if (b[i] == 0) fail(i, ErrorNumbers::zeroDivisor(a[i]));
                a[i] = b[i] != 0 ? a[i] / b[i] : 0;
            }
            break;
        }
        if (info.checked) check(a, ErrorNumbers::Overflow);
    }

    // Applies f(lane, a, b) -> value to the live lanes of the popped row a and the
    // accumulator b; a failed lane gets 0.
    template <typename F> void binary(F f)
    {
        double* a = row(sp_ - 1);
        const double* b = acc();
        for (int i = 0; i < n_; ++i)
            a[i] = out_.error[i] ? 0 : f(i, a[i], b[i]);
        --sp_;
    }
    template <typename F> void unary(F f)
    {
        double* a = acc();
        for (int i = 0; i < n_; ++i)
            a[i] = out_.error[i] ? 0 : f(i, a[i]);
    }
    // A binary operation on two Longs, as FastInterpreter's.
    template <typename F> void longs(F f)
    {
        binary([&](int i, double x, double y) {
            qint32 a = 0, b = 0;
            if (!Builtins::toLong(x, a) || !Builtins::toLong(y, b)) {
                fail(i, ErrorNumbers::Overflow);
                return 0.0;
            }
            return f(i, a, b);
        });
    }
    template <typename F> void compare(F f)
    {
        binary([&](int, double x, double y) { return f(x, y) ? -1.0 : 0.0; });
    }

    void otherStep(const Step& s, const FastProgram::OpInfo& info)
    {
        if (info.operand == K::Stack && info.action != A::Other) {
            arithmetic(info, row(sp_ - 1), acc());
            --sp_;
            return;
        }
        const double c = s.c;
        const int function = s.function;
        switch (s.op) {
        case Op::PowS:
            binary([&](int i, double a, double b) {
                const double r = std::pow(a, b);
                if (!std::isfinite(r)) fail(i, ErrorNumbers::powerFailure(r, a));
                return r;
            });
            break;
        case Op::PowC:
            unary([&](int i, double a) {
                const double r = std::pow(a, c);
                if (!std::isfinite(r)) fail(i, ErrorNumbers::powerFailure(r, a));
                return r;
            });
            break;
        case Op::Square: {
            double* a = acc();
            for (int i = 0; i < n_; ++i)
                a[i] *= a[i];
            check(a, ErrorNumbers::Overflow);
            break;
        }
        case Op::IntDivS:
        case Op::ModS: {
            const bool divide = s.op == Op::IntDivS;
            longs([&](int i, qint32 a, qint32 b) {
                if (b == 0) {
                    fail(i, ErrorNumbers::DivisionByZero);
                    return 0.0;
                }
                const qint64 r = divide ? qint64(a) / b : qint64(a) % b;
                if (r > 2147483647) fail(i, ErrorNumbers::Overflow);
                return double(r);
            });
            break;
        }
        case Op::EqS:
            compare([](double a, double b) { return a == b; });
            break;
        case Op::NeS:
            compare([](double a, double b) { return a != b; });
            break;
        case Op::LtS:
            compare([](double a, double b) { return a < b; });
            break;
        case Op::GtS:
            compare([](double a, double b) { return a > b; });
            break;
        case Op::LeS:
            compare([](double a, double b) { return a <= b; });
            break;
        case Op::GeS:
            compare([](double a, double b) { return a >= b; });
            break;
        case Op::AndS:
            longs([](int, qint32 a, qint32 b) { return double(a & b); });
            break;
        case Op::OrS:
            longs([](int, qint32 a, qint32 b) { return double(a | b); });
            break;
        case Op::XorS:
            longs([](int, qint32 a, qint32 b) { return double(a ^ b); });
            break;
        case Op::EqvS:
            longs([](int, qint32 a, qint32 b) { return double(~(a ^ b)); });
            break;
        case Op::ImpS:
            longs([](int, qint32 a, qint32 b) { return double(~a | b); });
            break;
        case Op::Neg:
            unary([](int, double a) { return -a; });
            break;
        case Op::Not:
            unary([&](int i, double a) {
                qint32 l = 0;
                if (Builtins::toLong(a, l)) return double(~l);
                fail(i, ErrorNumbers::Overflow);
                return 0.0;
            });
            break;
        case Op::Sin:
            unary([](int, double a) { return std::sin(a); });
            break;
        case Op::Cos:
            unary([](int, double a) { return std::cos(a); });
            break;
        case Op::Atn:
            unary([](int, double a) { return std::atan(a); });
            break;
        case Op::Sqr:
            unary([&](int i, double a) {
                if (!(a < 0)) return std::sqrt(a);
                fail(i, ErrorNumbers::InvalidCall);
                return 0.0;
            });
            break;
        case Op::Exp:
            unary([&](int i, double a) {
                const double r = std::exp(a);
                if (std::isinf(r)) fail(i, ErrorNumbers::Overflow);
                return r;
            });
            break;
        case Op::Function:
            unary([&](int i, double a) {
                double r = 0;
                if (const qint32 e = Builtins::callNumber(function, a, r)) fail(i, e);
                return r;
            });
            break;
        case Op::Round2:
            binary([&](int i, double a, double b) {
                double r = 0;
                if (const qint32 e = Builtins::roundNumber(a, b, r)) fail(i, e);
                return r;
            });
            break;
        default: // Method: refused by accepts()
            break;
        }
    }

    const Class1& class1_;
    const FastBatch::Inputs& in_;
    const int n_;
    FastBatch::Results& out_;
    double* const work_;
    int sp_ = 0;
    qint32 source_ = 0;
};

} // namespace

bool FastBatch::accepts(const FastProgram& program)
{
    return std::none_of(program.steps.begin(), program.steps.end(),
                        [](const Step& s) { return s.op == Op::Method; });
}

bool FastBatch::reads(const FastProgram& program, const double* member)
{
    return std::any_of(program.steps.begin(), program.steps.end(), [&](const Step& s) {
        const K kind = FastProgram::info(s.op).operand;
        return (usesP(kind) && s.p == member) || (usesQ(kind) && s.q == member);
    });
}

void FastBatch::run(const FastProgram& program, const Class1& class1, const Inputs& inputs, int n,
                    Results& out, std::vector<double>& work)
{
    n = std::clamp(n, 0, Lanes);
    work.resize(std::size_t(FastProgram::MaxStack + 5) * Lanes);
    BatchRun(class1, inputs, n, out, work.data()).run(program);
}
