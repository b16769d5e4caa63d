#pragma once

#include "output/SolidMesh.h"

#include <QByteArray>

// Triangle meshes as the files 3D printers and modelling programs read.
namespace MeshFile {

// Binary STL: an 80-byte header, the facet count, and per facet its unit normal and three
// corners as little-endian floats (millimetres by convention).
QByteArray stl(const SolidMesh::Mesh& mesh);

// Wavefront OBJ text: the vertices, a normal for each (`normals` as long as the vertices),
// and triangular faces naming both.
QByteArray obj(const SolidMesh::Mesh& mesh, const std::vector<SolidMesh::Vec>& normals);

} // namespace MeshFile
