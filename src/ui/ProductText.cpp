#include "ui/ProductText.h"

namespace {
QStringList tail()
{
    return {
        ProductText::title(),
        QString(),
        QStringLiteral("Copyright 2026 the Tavrigon team"),
        QString(),
        QStringLiteral("All rights reserved."),
        QString(),
        QStringLiteral("www.tavrigon.example.org"),
    };
}
} // namespace

namespace ProductText {
QString title()
{
    return QStringLiteral("Tavrigon");
}

QStringList splashLines()
{
    return QStringList{QString(), QString()} + tail();
}

QStringList aboutLines()
{
    return QStringList{QString(), QString(), QString()} + tail();
}
} // namespace ProductText
