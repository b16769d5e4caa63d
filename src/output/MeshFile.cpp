#include "output/MeshFile.h"

#include "setup/NumberText.h"

#include <QDataStream>
#include <QIODevice>
#include <cmath>

namespace MeshFile {

QByteArray stl(const SolidMesh::Mesh& mesh)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QByteArray header("Tavrigon solid");
    header.resize(80, ' ');
    out.writeRawData(header.constData(), int(header.size()));
    out << quint32(mesh.triangles.size());
    for (const SolidMesh::Triangle& t : mesh.triangles) {
        const SolidMesh::Vec &a = mesh.vertices[t[0]], &b = mesh.vertices[t[1]],
                             &c = mesh.vertices[t[2]];
        const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                       u[0] * v[1] - u[1] * v[0]};
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (double& x : n)
            out << float(x / length);
        for (const SolidMesh::Vec* p : {&a, &b, &c})
            for (const double x : *p)
                out << float(x);
        out << quint16(0);
    }
    return bytes;
}

QByteArray obj(const SolidMesh::Mesh& mesh, const std::vector<SolidMesh::Vec>& normals)
{
    QByteArray text("# Tavrigon surface\n");
    auto line = [&text](const char* kind, const SolidMesh::Vec& p) {
        text += kind;
        for (const double x : p)
            text += ' ' + FormatNumber7(float(x)).toLatin1();
        text += '\n';
    };
    for (const SolidMesh::Vec& p : mesh.vertices)
        line("v", p);
    for (const SolidMesh::Vec& n : normals)
        line("vn", n);
    for (const SolidMesh::Triangle& t : mesh.triangles)
        text += QStringLiteral("f %1//%1 %2//%2 %3//%3\n")
                    .arg(t[0] + 1)
                    .arg(t[1] + 1)
                    .arg(t[2] + 1)
                    .toLatin1();
    return text;
}

} // namespace MeshFile
