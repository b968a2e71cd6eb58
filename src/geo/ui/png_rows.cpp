#include "geo/ui/png_rows.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace vantora {

namespace {

struct Input {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
};

void ReadInput(png_structp png, png_bytep out, png_size_t length)
{
    auto* input = static_cast<Input*>(png_get_io_ptr(png));
    if (length > input->size - input->offset)
        png_error(png, "truncated");
    std::memcpy(out, input->data + input->offset, length);
    input->offset += length;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp back to the setjmp below: nothing with a destructor may be
// created between the two, hence the plain structure of this reader.
class Reader {
public:
    explicit Reader(const QByteArray& png)
    {
        m_input.data = reinterpret_cast<const unsigned char*>(png.constData());
        m_input.size = static_cast<std::size_t>(png.size());
        if (m_input.size < 8 || png_sig_cmp(m_input.data, 0, 8) != 0)
            return;
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~Reader()
    {
        if (m_png)
            png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Reads the header and sets the transformations to 8-bit BGRX rows; false on any error.
    bool Start(int& width, int& height, bool& interlaced)
    {
        if (!m_info)
            return false;
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        png_set_read_fn(m_png, &m_input, ReadInput);
        png_read_info(m_png, m_info);
        width = static_cast<int>(png_get_image_width(m_png, m_info));
        height = static_cast<int>(png_get_image_height(m_png, m_info));
        interlaced = png_get_interlace_type(m_png, m_info) != PNG_INTERLACE_NONE;
        png_set_expand(m_png);
        png_set_strip_16(m_png);
        png_set_gray_to_rgb(m_png);
        png_set_strip_alpha(m_png);
        png_set_bgr(m_png);
        png_set_filler(m_png, 0xff, PNG_FILLER_AFTER);
        png_read_update_info(m_png, m_info);
        return png_get_rowbytes(m_png, m_info) == static_cast<png_size_t>(width) * 4;
    }

    bool ReadRow(std::uint32_t* pixels)
    {
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        png_read_row(m_png, reinterpret_cast<png_bytep>(pixels), nullptr);
        return true;
    }

private:
    Input m_input;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

}  // namespace

QSize PngSize(const QByteArray& png)
{
    Reader reader(png);
    int width = 0;
    int height = 0;
    bool interlaced = false;
    if (!reader.Start(width, height, interlaced))
        return {};
    return {width, height};
}

bool ForEachPngRow(const QByteArray& png, int top, int bottom,
                   const std::function<void(int y, const std::uint32_t* pixels)>& row)
{
    Reader reader(png);
    int width = 0;
    int height = 0;
    bool interlaced = false;
    if (!reader.Start(width, height, interlaced) || interlaced || width <= 0)
        return false;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width));
    const int last = std::min(bottom, height);
    for (int y = 0; y < last; ++y) {
        if (!reader.ReadRow(pixels.data()))
            return false;
        if (y >= top)
            row(y, pixels.data());
    }
    return true;
}

}  // namespace vantora
