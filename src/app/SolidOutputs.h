#pragma once

#include "output/SolidMesh.h"

#include <QString>
#include <QStringList>

class Session;

// The command line's meshes of the plotted surface, written after the plot:
//   --stl FILE      a solid to print (binary STL, millimetres)
//   --obj FILE      the triangulated surface with its normals (OBJ)
//   --size MM       the solid's longest side (100)
//   --base MM       the base under z(x,y) (2)
//   --thicken MM    a surface that does not close written as a shell this thick
namespace SolidOutputs {

// Whether `name` writes a file.
bool isOutput(const QString& name);

// The message for a value that cannot be taken, else empty.
QString checkOption(const QString& name, const QString& value);

// Takes a --size, --base or --thicken into `size`; false for any other option.
bool take(const QString& name, const QString& value, SolidMesh::Size& size);

// Writes `name` (--stl or --obj) to `path` from the plot shown; false with `error`.
bool write(Session& session, const QString& name, const QString& path, const SolidMesh::Size& size,
           QString& error);

} // namespace SolidOutputs
