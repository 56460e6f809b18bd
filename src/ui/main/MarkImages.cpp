#include "MarkImages.h"

#include <system_error>

#include <QBitmap>
#include <QImage>
#include <QPainter>

namespace pondel {
namespace {

constexpr int kMarkSize = 16;

QPixmap BuiltIn(const char* name)
{
    return QPixmap(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
}

QColor ToQColor(ColorValue color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
        static_cast<int>((color >> 16) & 0xFF));
}

QPixmap FromFile(const std::filesystem::path& file, const QColor& mask, const char* builtIn)
{
    QImage image(QString::fromStdString(file.string()));
    if (image.isNull())
        return BuiltIn(builtIn);
    // Nearest-neighbour scaling keeps the mask colour exact at the edges.
    image = image.scaled(kMarkSize, kMarkSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .convertToFormat(QImage::Format_ARGB32);
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(mask, Qt::MaskInColor));
    return pixmap;
}

// A transparent mark with a painter that draws smoothly on it.
template <typename Draw>
QPixmap DrawnMark(Draw draw)
{
    QPixmap pixmap(kMarkSize, kMarkSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

} // namespace

QPixmap WakingMarkImage()
{
    return DrawnMark([](QPainter& painter) {
        painter.setPen(QPen(QColor(0x9a, 0x6a, 0x00), 1.5));
        painter.setBrush(QColor(0xff, 0xd3, 0x4d));
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        painter.drawLine(QPointF(8, 8), QPointF(8, 4));
        painter.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    });
}

QPixmap NoAnswerMarkImage()
{
    return DrawnMark([](QPainter& painter) {
        painter.setPen(QPen(QColor(0xc6, 0x28, 0x28), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

MarkImages LoadMarkImages(std::span<const std::filesystem::path> folders, ColorValue maskColor)
{
    for (const std::filesystem::path& folder : folders) {
        const std::filesystem::path active = folder / "active.bmp";
        const std::filesystem::path inactive = folder / "inactive.bmp";
        std::error_code error;
        if (!std::filesystem::exists(active, error) || !std::filesystem::exists(inactive, error))
            continue;
        const QColor mask = ToQColor(maskColor);
        return MarkImages{FromFile(inactive, mask, "inactive"), FromFile(active, mask, "active")};
    }
    return MarkImages{BuiltIn("inactive"), BuiltIn("active")};
}

} // namespace pondel
