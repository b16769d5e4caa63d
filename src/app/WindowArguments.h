#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The arguments that start the window instead of the windowless run: none, one setup file
// (an argument that is not an option), and --seed N for reproducible random dots.
struct WindowArguments
{
    QString file;
    std::optional<quint32> seed;

    // False when the arguments are the command line's (any other option, or more files).
    bool parse(const QStringList& arguments);

    // A seed: a whole number from 0 to 4294967295.
    static bool parseSeed(const QString& text, quint32& seed);
};
