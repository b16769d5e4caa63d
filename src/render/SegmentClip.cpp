#include "render/SegmentClip.h"

namespace SegmentClip {

bool clip(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin, double xmax,
          double ymax)
{
    enum
    {
        Left = 1,
        Right = 2,
        Top = 4,
        Bottom = 8
    };
    auto code = [&](double x, double y) {
        return (x < xmin ? Left : x > xmax ? Right : 0) | (y < ymin ? Top : y > ymax ? Bottom : 0);
    };
    int c0 = code(x0, y0), c1 = code(x1, y1);
    for (int pass = 0; pass < 8; ++pass) {
        if ((c0 | c1) == 0) return true;
        if ((c0 & c1) != 0) return false;
        const int out = c0 != 0 ? c0 : c1;
        double x = 0, y = 0;
        if (out & Top) {
            x = x0 + (x1 - x0) * (ymin - y0) / (y1 - y0);
            y = ymin;
        } else if (out & Bottom) {
            x = x0 + (x1 - x0) * (ymax - y0) / (y1 - y0);
            y = ymax;
        } else if (out & Left) {
            y = y0 + (y1 - y0) * (xmin - x0) / (x1 - x0);
            x = xmin;
        } else {
            y = y0 + (y1 - y0) * (xmax - x0) / (x1 - x0);
            x = xmax;
        }
        if (out == c0) {
            x0 = x;
            y0 = y;
            c0 = code(x0, y0);
        } else {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        }
    }
    return (c0 | c1) == 0;
}

} // namespace SegmentClip
