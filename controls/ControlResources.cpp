#include "controls/ControlResources.h"
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace ctl {
namespace {
QString PathOf(int id) {
    return QStringLiteral(":/controls/%1.svg").arg(id);
}
} // namespace

bool HasResourceImage(int id) {
    return QFile::exists(PathOf(id));
}

QSize ResourceImageSize(int id) {
    // Asked for on every mouse move by the slider: parse each file once.
    static QHash<int, QSize> sizes;
    if (auto it = sizes.constFind(id); it != sizes.constEnd()) return *it;
    QSvgRenderer svg(PathOf(id));
    const QSize size = svg.isValid() ? svg.defaultSize() : QSize();
    sizes.insert(id, size);
    return size;
}

QImage ResourceImage(int id, qreal devicePixelRatio, QSize logical) {
    // Controls redraw often; parse and rasterise each size once.
    static QHash<QString, QImage> cache;
    const QString key =
        QStringLiteral("%1/%2/%3x%4").arg(id).arg(devicePixelRatio).arg(logical.width()).arg(
            logical.height());
    if (auto it = cache.constFind(key); it != cache.constEnd()) return *it;
    QSvgRenderer svg(PathOf(id));
    if (!svg.isValid()) return {};
    if (logical.isEmpty()) logical = svg.defaultSize();
    const QSize device = (QSizeF(logical) * devicePixelRatio).toSize();
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        svg.render(&p);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    cache.insert(key, image);
    return image;
}
} // namespace ctl
