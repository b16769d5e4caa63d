#pragma once

#include <QImage>

// Copy Left / Copy Right: Session passes the view's current image (DrawingSurface::image(), at
// the view's size in pixels). The image replaces whatever the system clipboard held.
// False when there is nothing to copy or no clipboard (no QGuiApplication).
bool CopyPictureToClipboard(const QImage& view);
