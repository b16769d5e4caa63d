#include "output/StagedNames.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

enum State
{
    Free,
    Filling,
    Ready
};

// Plain storage that a signal handler may read: no allocation, no lock.
struct Slot
{
    std::atomic<int> state{Free};
    char name[PATH_MAX];
};

constexpr int kSlots = 64;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = int(sizeof kSignals / sizeof *kSignals);

Slot slots[kSlots];
struct sigaction previous[kSignalCount];

extern "C" void removeStaged(int signal)
{
    const int savedErrno = errno;
    for (Slot& slot : slots)
        if (slot.state.load() == Ready) ::unlink(slot.name);
    for (int i = 0; i < kSignalCount; ++i)
        if (kSignals[i] == signal) ::sigaction(signal, &previous[i], nullptr);
    errno = savedErrno;
    // Blocked until this handler returns, then handled as it was before.
    ::raise(signal);
}

// Puts the handler in front of whatever handles each signal now, unless it is there already or
// the signal is ignored.
void install()
{
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction now = {};
        if (::sigaction(kSignals[i], nullptr, &now) != 0 || now.sa_handler == SIG_IGN ||
            now.sa_handler == removeStaged)
            continue;
        previous[i] = now;
        struct sigaction action = {};
        action.sa_handler = removeStaged;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(kSignals[i], &action, nullptr);
    }
}

} // namespace

namespace StagedNames {

int remember(const QByteArray& name)
{
    install();
    if (name.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (!slots[i].state.compare_exchange_strong(expected, Filling)) continue;
        std::memcpy(slots[i].name, name.constData(), size_t(name.size()) + 1);
        slots[i].state.store(Ready);
        return i;
    }
    return -1;
}

void forget(int slot)
{
    if (slot >= 0 && slot < kSlots) slots[slot].state.store(Free);
}

} // namespace StagedNames
