#include "qt/window_icon.h"

#include <QtEndian>

namespace bellwick {

QImage iconFromIco(const QByteArray& ico)
{
    const auto* b = reinterpret_cast<const uchar*>(ico.constData());
    if (ico.size() < 22 || qFromLittleEndian<quint16>(b + 2) != 1 || qFromLittleEndian<quint16>(b + 4) != 1) return {};
    const qsizetype offset = qFromLittleEndian<quint32>(b + 18);
    if (offset + 40 > ico.size()) return {};
    const int width = qFromLittleEndian<qint32>(b + offset + 4);
    const int height = qFromLittleEndian<qint32>(b + offset + 8) / 2;
    if (qFromLittleEndian<quint16>(b + offset + 14) != 24 || width <= 0 || height <= 0 || width > 256 || height > 256)
        return {};
    const qsizetype colourRow = (width * 3 + 3) / 4 * 4;
    const qsizetype maskRow = (width + 31) / 32 * 4;
    const qsizetype mask = offset + 40 + colourRow * height;
    if (mask + maskRow * height > ico.size()) return {};

    QImage img(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;  // rows are stored bottom-up
        const uchar* c = b + offset + 40 + colourRow * row;
        const uchar* m = b + mask + maskRow * row;
        for (int x = 0; x < width; ++x) {
            const bool clear = (m[x / 8] >> (7 - x % 8)) & 1;
            img.setPixel(x, y, qRgba(c[3 * x + 2], c[3 * x + 1], c[3 * x], clear ? 0 : 255));
        }
    }
    return img;
}

}  // namespace bellwick
