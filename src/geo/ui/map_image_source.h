#pragma once
// One map's pixels for the map view. Held either whole (pictures handed over in memory) or as
// the compressed PNG, decoded a part at a time: a view then keeps only the part it shows.

#include "geo/map_view.h"

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QSize>

namespace vantora {

class MapImageSource {
public:
    MapImageSource() = default;
    // The whole picture, converted to 32 bits.
    static MapImageSource Whole(const QImage& image);
    // A PNG read part by part. Its extent is `extentWidth` wide (at least the PNG's own width);
    // the columns beyond the PNG's own show `fill`. Null when the data is no PNG that can be
    // read row by row.
    static MapImageSource Compressed(const QByteArray& png, int extentWidth, QRgb fill);

    bool isNull() const { return m_size.isEmpty(); }
    QSize size() const { return m_size; }  // the extent
    bool isCompressed() const { return !m_png.isEmpty(); }

    // The pixels of `part` (within the extent), 32 bits. Rows a damaged PNG does not deliver
    // show the fill colour.
    QImage Part(const MapRect& part) const;
    QImage All() const { return Part({0, 0, m_size.width(), m_size.height()}); }

private:
    QImage m_whole;
    QByteArray m_png;
    int m_pngWidth = 0;
    QRgb m_fill = 0;
    QSize m_size;
};

}  // namespace vantora
