#include "ui/SetupDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {
QString localFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
    return mime->urls().first().toLocalFile();
}
} // namespace

SetupDrop::SetupDrop(QWidget* window, Open open)
    : QObject(window), window_(window), open_(std::move(open))
{
    window->setAcceptDrops(true);
}

bool SetupDrop::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = localFile(drop->mimeData());
    if (!widget || !window_ || widget->window() != window_ || path.isEmpty())
        return QObject::eventFilter(watched, event);
    drop->acceptProposedAction();
    if (type == QEvent::Drop) open_(path);
    return true;
}
