// Renders the program's pictures once, at build time, so that the window only loads them: the
// title banner, drawn here, and the icon, rasterized from its SVG at the sizes windows show.
//   render_artwork ICON.svg OUTPUT_FOLDER
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QtEndian>
#include <QtMath>

#include <cstdio>

namespace {

constexpr int kBannerWidth = 660;
constexpr int kBannerHeight = 139;

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

QImage icon(const QString& svg, int size) {
    QImageReader reader(svg);
    reader.setScaledSize(QSize(size, size));
    QImage image = reader.read();
    if (image.isNull()) {
        std::fprintf(stderr, "render_artwork: cannot read %s: %s\n", qPrintable(svg),
                     qPrintable(reader.errorString()));
        std::exit(1);
    }
    return image;
}

QImage banner(const QImage& icon, qreal devicePixelRatio) {
    QImage image(QSize(kBannerWidth, kBannerHeight) * devicePixelRatio,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, kBannerWidth, kBannerHeight);
    sky.setColorAt(0, QColor(0x10, 0x2a, 0x5e));
    sky.setColorAt(1, QColor(0x2a, 0x66, 0xc4));
    painter.fillRect(QRect(0, 0, kBannerWidth, kBannerHeight), sky);
    drawChart(painter, QPointF(560, 70), 56);

    painter.drawImage(QRect(24, 30, 64, 64), icon);

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
    painter.drawText(QPointF(106, 112), QStringLiteral("Base stats of Pokémon Diamond, Pearl,"));
    painter.drawText(QPointF(106, 130), QStringLiteral("Platinum, HeartGold and SoulSilver"));
    return image;
}

// Raw pixels, read back by artwork::picture without an image reader: the width and the
// height as 32-bit little-endian numbers, then the rows of premultiplied ARGB in the machine's
// own order. Decoding a PNG would cost the window's start as much as drawing the picture.
void save(const QImage& image, const QString& path) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray bytes(8, '\0');
    qToLittleEndian<quint32>(quint32(pixels.width()), bytes.data());
    qToLittleEndian<quint32>(quint32(pixels.height()), bytes.data() + 4);
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), pixels.width() * 4);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "render_artwork: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: render_artwork ICON.svg OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    out.mkpath(QStringLiteral("."));
    for (const int size : {16, 24, 32, 48, 64})
        save(icon(svg, size), out.filePath(QStringLiteral("icon-%1.argb").arg(size)));
    for (const int scale : {1, 2})
        save(banner(icon(svg, 64 * scale), scale),
             out.filePath(scale == 1 ? QStringLiteral("banner.argb")
                                     : QStringLiteral("banner@2x.argb")));
    return 0;
}
