#include "Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

// The icon is compiled into this static library; register it before its first use.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace artwork {
namespace {

QPolygonF hexagon(QPointF centre, qreal radius, const qreal (&scale)[6]) {
    QPolygonF polygon;
    for (int corner = 0; corner < 6; ++corner) {
        const qreal angle = qDegreesToRadians(-90.0 + 60.0 * corner);
        polygon << centre + QPointF(qCos(angle), qSin(angle)) * radius * scale[corner];
    }
    return polygon;
}

// A stat chart in the banner's right half, echoing the icon.
void drawChart(QPainter& painter, QPointF centre, qreal radius) {
    static constexpr qreal kFull[6] = {1, 1, 1, 1, 1, 1};
    static constexpr qreal kHalf[6] = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
    static constexpr qreal kStats[6] = {0.92, 0.62, 0.8, 0.48, 0.96, 0.7};
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(hexagon(centre, radius, kFull));
    painter.drawPolygon(hexagon(centre, radius, kHalf));
    for (const QPointF& corner : hexagon(centre, radius, kFull))
        painter.drawLine(centre, corner);
    painter.setPen(QPen(QColor(255, 255, 255, 220), 1.5));
    painter.setBrush(QColor(255, 200, 61, 200));
    painter.drawPolygon(hexagon(centre, radius, kStats));
}

} // namespace

QIcon programIcon() {
    static const bool registered = (registerResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/statwright.svg"));
}

QPixmap banner(qreal devicePixelRatio) {
    QPixmap pixmap(QSize(kBannerWidth, kBannerHeight) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, kBannerWidth, kBannerHeight);
    sky.setColorAt(0, QColor(0x10, 0x2a, 0x5e));
    sky.setColorAt(1, QColor(0x2a, 0x66, 0xc4));
    painter.fillRect(QRect(0, 0, kBannerWidth, kBannerHeight), sky);
    drawChart(painter, QPointF(560, 70), 56);

    painter.drawPixmap(QRect(24, 30, 64, 64),
                       programIcon().pixmap(QSize(64, 64), devicePixelRatio));

    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(44);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(104, 74), QStringLiteral("Statwright"));

    painter.fillRect(QRectF(106, 86, 236, 3), QColor(255, 200, 61));

    QFont subtitle(QStringLiteral("Liberation Sans"));
    subtitle.setPixelSize(15);
    painter.setFont(subtitle);
    painter.setPen(QColor(0xd6, 0xe4, 0xff));
    painter.drawText(QPointF(106, 112),
                     QStringLiteral("Base stats of Pokémon Diamond, Pearl and Platinum"));
    return pixmap;
}

} // namespace artwork
