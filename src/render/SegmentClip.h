#pragma once

// Cutting a segment to a rectangle, for the surfaces that draw lines.
namespace SegmentClip {

// Cohen-Sutherland clipping of the segment to the rectangle; false when nothing is left. Each
// cut puts the moved end exactly on the edge, so a line that runs along a row or a column
// keeps that row or column however far away its ends lie.
bool clip(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin, double xmax,
          double ymax);

} // namespace SegmentClip
