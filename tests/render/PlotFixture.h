#pragma once

#include "RecordingSurface.h"
#include "common/EngineFixture.h"

#include "eval/SurfaceEvaluator.h"
#include "render/DrawHost.h"
#include "render/PlotDriver.h"
#include "render/UniformRandom.h"
#include "setup/FieldMap.h"
#include "setup/PlotSetupReader.h"

#include <cmath>
#include <functional>

// Counts the pending-event calls and runs a hook in them.
struct TestHost : DrawHost
{
    int events = 0, ended = 0;
    std::function<void(int)> onEvents; // called with the number of the call, from 1

    void runEvents() override
    {
        ++events;
        if (onEvents) onEvents(events);
    }
    void repaint() override {}
    void drawingEnded() override { ++ended; }
};

// Window fields at their defaults, read into a setup and drawn from it, as a captured plot,
// onto two recording views of the design size.
struct PlotFixture : EngineFixture
{
    using Call = RecordingSurface::Call;
    using Kind = RecordingSurface::Kind;

    FieldMap fields;
    PlotSetup setup;
    UniformRandom random;
    TestHost host;
    RecordingSurface view[2]{{0, 400, 300}, {399, 400, 300}};
    SurfaceEvaluator evaluator{engine, class1};
    PlotDriver driver{{&view[0], &view[1]},     evaluator, class1, random, host,
                      float(2 * std::atan(1.0))};

    PlotFixture() { random.seed(20240601); }
    // Each change is "txtName=text", "chkName=0|1" or "optName=index".
    void apply(const QStringList& changes)
    {
        for (const QString& c : changes) {
            const QString name = c.section(QLatin1Char('='), 0, 0), value = c.section('=', 1);
            if (name.startsWith(QLatin1String("chk")))
                fields.setChecked(name, value == QLatin1String("1"));
            else if (name.startsWith(QLatin1String("opt")))
                fields.setOption(name, value.toInt());
            else
                fields.setText(name, value);
        }
    }

    bool read()
    {
        Message message;
        return ReadPlotSetup(setup, fields, engine, message, &class1);
    }
    // False when the setup cannot be read or the plot did not run to its end. "chkHidden" and
    // "chkSolid" give the look.
    bool draw()
    {
        if (!read()) return false;
        setup.Options.Look.Hidden = fields.isChecked(QStringLiteral("chkHidden"));
        setup.Options.Look.Solid = fields.isChecked(QStringLiteral("chkSolid"));
        return driver.drawCaptured(setup);
    }

    // The surface's calls of one kind in view i (white on black, black on white).
    quint32 surfaceColor() const { return setup.Options.BlackBackground ? 0xFFFFFF : 0; }
    QList<Call> surface(int i, int kind = -1) const { return view[i].drawn(kind, surfaceColor()); }
};
