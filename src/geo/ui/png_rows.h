#pragma once
// Reads a PNG held in memory one pixel row at a time, so that a caller can keep just the rows
// and columns it needs instead of the whole decoded picture.

#include <QByteArray>
#include <QSize>

#include <cstdint>
#include <functional>

namespace vantora {

// Width and height from the PNG's header; an empty size when it is no PNG.
QSize PngSize(const QByteArray& png);

// Calls `row(y, pixels)` for the rows top..bottom-1, in order, with the row's pixels as
// 0xffRRGGBB (alpha dropped, as a conversion to RGB32 does); it stops reading after `bottom`.
// False when the data is no PNG this reader can walk row by row (interlaced ones are not), or
// when it is damaged; rows delivered before the damage stay delivered.
bool ForEachPngRow(const QByteArray& png, int top, int bottom,
                   const std::function<void(int y, const std::uint32_t* pixels)>& row);

}  // namespace vantora
