#include "output/ClipboardCopy.h"

#include <QClipboard>
#include <QGuiApplication>

bool CopyPictureToClipboard(const QImage& view)
{
    if (view.isNull() || !qGuiApp) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setImage(view, QClipboard::Clipboard);
    return true;
}
