#include "render/CapturedPlot.h"

#include "eval/ScriptEngine.h"
#include "eval/UserConstants.h"
#include "render/DrawHost.h"
#include "render/DrawingSurface.h"
#include "render/PlotDriver.h"
#include "render/SampleCache.h"

bool CapturedPlot::repeatable() const
{
    return SampleCache::repeatable(setup, constants);
}

bool CapturedPlot::setConstant(const QString& name, const QString& value)
{
    if (!UserConstants::setValue(constants, name, value)) return false;
    samples.reset();
    return true;
}

bool CapturedPlot::draw(std::array<DrawingSurface*, 2> surfaces, const Tools& tools,
                        const DrawOptions& options, DrawHost& host,
                        const std::function<void(PlotDriver*)>& running) const
{
    UniformRandom dots = random;
    PlotSetup s = setup;
    s.Options = options;
    PlotDriver driver(surfaces, tools.evaluator, tools.class1, dots, host, tools.halfpi);
    driver.applyOptions(options);
    driver.setSampleCache(samples.get(), constants);
    driver.ClearViews();
    if (isEmpty()) return false;
    // The Plot that captured it has reported its errors: drawing it again reports none.
    const ScriptEngine::Quiet quiet(tools.engine);
    UserConstants registered;
    registered.setAll(constants);
    registered.registerAll(tools.engine);
    if (running) running(&driver);
    const bool done = driver.DrawPlot(s);
    if (running) running(nullptr);
    return done;
}

bool CapturedPlot::drawAtViewSize(DrawingSurface& left, DrawingSurface& right, const Tools& tools,
                                  const DrawOptions& options) const
{
    left.setGeometry(views[0].x(), views[0].width(), views[0].height());
    right.setGeometry(views[1].x(), views[1].width(), views[1].height());
    NullDrawHost none;
    return draw({&left, &right}, tools, options, none);
}
