#pragma once
// The window icon from a one-image ICO file. Qt's ICO reader ignores the AND
// mask of 24-bit images, so the mask is applied here.

#include <QByteArray>
#include <QImage>

namespace bellwick {

// The image with the mask's transparent pixels cleared; a null image when the
// bytes are not a single-image 24-bit ICO.
QImage iconFromIco(const QByteArray& ico);

}  // namespace bellwick
