#pragma once

#include <QByteArray>
#include <QImage>

// A PNG file for `image`: 8-bit palette for an indexed image (with the palette's alphas), else RGBA
// when it has alpha, else RGB, with the image's resolution in a pHYs chunk. Colour rows are filtered
// with "Sub", and only runs are looked for when deflating: the pictures are large areas of one colour
// with soft edges, which this compresses well at a fraction of the cost of trying every filter on
// every row. Empty when the image is empty or too large for the format.
QByteArray encodePng(const QImage &image);
