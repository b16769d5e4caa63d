#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <cstdio>

// Milliseconds a program takes to run to its end with `args` (and `input` on standard input),
// or -1 when it fails.
inline double timed(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}
