#pragma once

#include "setup/SurfaceLook.h"

class FormFields;

// The check boxes and option pairs a plot is drawn with, captured when the setup is read, so
// that drawing reads no control: chkLines, chkDots, chkPersist, chkParametric, optBackclr
// (0 "White", 1 "Black") and OptAccuracy (0 "Med", 1 "High").
struct DrawOptions
{
    bool Lines = true;
    bool Dots = false;
    bool Persist = false;
    bool Parametric = false;
    bool BlackBackground = false;
    bool HighAccuracy = false;
    // Axis letters and tick values on the guides: asked for by an export, never read from a
    // control, so the screen views never show them.
    bool Labels = false;
    SurfaceLook Look; // likewise

    static DrawOptions read(const FormFields& fields);

    bool operator==(const DrawOptions&) const = default;
};
