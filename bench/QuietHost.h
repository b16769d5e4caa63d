#pragma once

#include "session/SessionHost.h"

#include <cstdio>

// A session's surroundings in a benchmark: messages go to standard error, nothing else happens.
class QuietHost : public SessionHost
{
public:
    void showMessage(const QString& text, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    void processEvents() override {}
    void beep() override {}
    void setBusy(bool) override {}
    void viewsChanged() override {}
    void constantsChanged() override {}
};
