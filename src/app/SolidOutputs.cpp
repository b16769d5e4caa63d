#include "app/SolidOutputs.h"

#include "output/MeshFile.h"
#include "output/SafeWrite.h"
#include "session/Session.h"
#include "setup/NumberText.h"

namespace SolidOutputs {

namespace {
const QString Stl = QStringLiteral("--stl");
const QString Obj = QStringLiteral("--obj");
const QString Size = QStringLiteral("--size");
const QString Base = QStringLiteral("--base");
const QString Thicken = QStringLiteral("--thicken");
constexpr double MaxSize = 1e5; // a hundred metres
} // namespace

bool isOutput(const QString& name)
{
    return name == Stl || name == Obj;
}

QString checkOption(const QString& name, const QString& value)
{
    if (name != Size && name != Base && name != Thicken) return {};
    double mm = 0;
    if (ParseCompleteNumber(value, mm) && mm > 0 && mm <= MaxSize) return {};
    return QStringLiteral("%1 takes millimetres, more than 0 and at most 100000, not '%2'")
        .arg(name, value);
}

bool take(const QString& name, const QString& value, SolidMesh::Size& size)
{
    double* to = name == Size      ? &size.size
                 : name == Base    ? &size.base
                 : name == Thicken ? &size.thicken
                                   : nullptr;
    return to && ParseCompleteNumber(value, *to);
}

bool write(Session& session, const QString& name, const QString& path, const SolidMesh::Size& size,
           QString& error)
{
    const double layers = name == Stl ? size.base + size.thicken : 0;
    if (layers >= size.size) {
        error = QStringLiteral("Cannot write %1: --base and --thicken must be less than --size")
                    .arg(path);
        return false;
    }
    SurfaceGrid grid;
    QString why;
    if (!session.sampleSurface(grid, why)) {
        error = QStringLiteral("Cannot write %1: %2").arg(path, why);
        return false;
    }
    const SolidMesh surface(grid);
    QByteArray bytes;
    if (name == Obj) {
        if (surface.surface().triangles.empty()) {
            error = QStringLiteral("Cannot write %1: %2").arg(path, SolidMesh::noCellMessage());
            return false;
        }
        bytes = MeshFile::obj(surface.surface(), surface.normals());
    } else {
        SolidMesh::Mesh solid;
        if (!surface.solid(size, solid, why)) {
            error = QStringLiteral("Cannot write %1: %2").arg(path, why);
            return false;
        }
        bytes = MeshFile::stl(solid);
    }
    return SafeWrite::writeBytes(path, bytes, error);
}

} // namespace SolidOutputs
