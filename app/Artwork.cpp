#include "Artwork.h"

#include <QImage>
#include <QResource>
#include <QtEndian>

#include <cstring>

// The pictures are rendered at build time (render_artwork.cpp) into this static library's
// resources; register them before their first use.
static void registerResources() {
    Q_INIT_RESOURCE(artwork);
}

namespace app::artwork {
namespace {

// The raw pixels that render_artwork wrote: width and height, then ARGB rows.
QImage picture(const QString& name) {
    static const bool registered = (registerResources(), true);
    (void)registered;
    const QByteArray bytes = QResource(QStringLiteral(":/artwork/") + name).uncompressedData();
    if (bytes.size() < 8)
        return {};
    const auto width = qFromLittleEndian<quint32>(bytes.constData());
    const auto height = qFromLittleEndian<quint32>(bytes.constData() + 4);
    if (bytes.size() - 8 != qsizetype(width) * height * 4)
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + 8 + qsizetype(y) * width * 4, width * 4);
    return image;
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(picture(QStringLiteral("icon-%1.argb").arg(size))));
    return icon;
}

QPixmap banner(qreal devicePixelRatio) {
    const bool sharp = devicePixelRatio > 1;
    QPixmap pixmap = QPixmap::fromImage(
        picture(sharp ? QStringLiteral("banner@2x.argb") : QStringLiteral("banner.argb")));
    pixmap.setDevicePixelRatio(sharp ? 2 : 1);
    return pixmap;
}

} // namespace app::artwork
