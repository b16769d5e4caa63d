#pragma once

#include "eval/ScriptEngine.h"
#include "setup/FieldMap.h"
#include "setup/PlotSetup.h"
#include "setup/PlotSetupReader.h"

// The record the field reader makes of the window's default fields.
inline PlotSetup DefaultSetup()
{
    FieldMap fields;
    ScriptEngine engine;
    PlotSetup s;
    Message message;
    ReadPlotSetup(s, fields, engine, message);
    return s;
}
