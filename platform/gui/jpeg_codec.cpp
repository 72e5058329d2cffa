// JPEG through libjpeg.
//
// libjpeg reports fatal errors through error_exit, which must not return.
// Throwing from it would unwind through C frames, so it longjmps instead.
// Every setjmp lives in a small function whose frame, and every frame
// between it and libjpeg, holds only trivial objects: the longjmp skips no
// destructor. Those functions return false; the callers, with their
// QImage and QByteArray, turn that into an exception.

#include "bitmap.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg's own limit on a side is 65500; the pixel bound keeps a hostile
// header from asking for gigabytes.
constexpr qint64 kMaxJpegPixels = qint64(1) << 28;

struct ErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

// Warnings (corrupt but decodable data) are not printed.
void OutputMessage(j_common_ptr) { }

void InitErrorManager(ErrorManager& err)
{
    jpeg_std_error(&err.Pub);
    err.Pub.error_exit = ErrorExit;
    err.Pub.output_message = OutputMessage;
    err.Message[0] = '\0';
}

// ---- decoding

struct Decoder {
    jpeg_decompress_struct Info;
    ErrorManager Err;
    jpeg_source_mgr Source;
    const JOCTET* Data;
    size_t Size;
    bool Created;
    bool Adobe;
};

void InitSource(j_decompress_ptr) { }

// All data is in the buffer from the start: asking for more means the
// file is truncated, which is an error rather than grey padding.
boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    cinfo->err->msg_code = JERR_INPUT_EOF;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    return FALSE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    if (size_t(count) > src->bytes_in_buffer) {
        FillInputBuffer(cinfo);
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) { }

bool DecodeHeader(Decoder* d)
{
    if (setjmp(d->Err.Jump))
        return false;
    jpeg_create_decompress(&d->Info);
    d->Created = true;
    d->Source.init_source = InitSource;
    d->Source.fill_input_buffer = FillInputBuffer;
    d->Source.skip_input_data = SkipInputData;
    d->Source.resync_to_restart = jpeg_resync_to_restart;
    d->Source.term_source = TermSource;
    d->Source.next_input_byte = d->Data;
    d->Source.bytes_in_buffer = d->Size;
    d->Info.src = &d->Source;
    jpeg_read_header(&d->Info, TRUE);
    switch (d->Info.jpeg_color_space) {
    case JCS_GRAYSCALE: d->Info.out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: d->Info.out_color_space = JCS_CMYK; break;
    default: d->Info.out_color_space = JCS_RGB; break;
    }
    d->Adobe = d->Info.saw_Adobe_marker;
    jpeg_calc_output_dimensions(&d->Info);
    return true;
}

void ConvertRow(const Decoder* d, const JSAMPLE* in, quint32* out)
{
    const JDIMENSION width = d->Info.output_width;
    switch (d->Info.out_color_space) {
    case JCS_GRAYSCALE:
        for (JDIMENSION x = 0; x < width; ++x)
            out[x] = 0xFF000000u | (quint32(in[x]) * 0x010101u);
        break;
    case JCS_CMYK:
        // Adobe files store the inks inverted.
        for (JDIMENSION x = 0; x < width; ++x, in += 4) {
            quint32 c = in[0], m = in[1], y = in[2], k = in[3];
            if (!d->Adobe) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            out[x] = 0xFF000000u | ((c * k / 255) << 16) | ((m * k / 255) << 8) | (y * k / 255);
        }
        break;
    default:
        for (JDIMENSION x = 0; x < width; ++x, in += 3)
            out[x] = 0xFF000000u | (quint32(in[0]) << 16) | (quint32(in[1]) << 8) | quint32(in[2]);
        break;
    }
}

bool DecodePixels(Decoder* d, uchar* bits, qsizetype bytesPerLine)
{
    if (setjmp(d->Err.Jump))
        return false;
    jpeg_start_decompress(&d->Info);
    JSAMPARRAY row = (*d->Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->Info), JPOOL_IMAGE,
        d->Info.output_width * JDIMENSION(d->Info.output_components), 1);
    while (d->Info.output_scanline < d->Info.output_height) {
        const JDIMENSION y = d->Info.output_scanline;
        if (jpeg_read_scanlines(&d->Info, row, 1) != 1)
            return false;
        ConvertRow(d, row[0], reinterpret_cast<quint32*>(bits + qsizetype(y) * bytesPerLine));
    }
    jpeg_finish_decompress(&d->Info);
    return true;
}

// Frees the decoder's libjpeg state on every way out of DecodeJPEG.
struct DecoderGuard {
    Decoder* D;
    ~DecoderGuard()
    {
        if (D->Created)
            jpeg_destroy_decompress(&D->Info);
    }
};

EJPEG DecodeError(const Decoder& d)
{
    return EJPEG(QStringLiteral("JPEG error: %1").arg(QString::fromLatin1(d.Err.Message)));
}

// ---- encoding

struct Encoder {
    jpeg_compress_struct Info;
    ErrorManager Err;
    unsigned char* Output;
    unsigned long OutputSize;
    bool Created;
};

bool EncodePixels(
    Encoder* e, const uchar* bits, qsizetype bytesPerLine, int width, int height, int quality, bool progressive)
{
    if (setjmp(e->Err.Jump))
        return false;
    jpeg_create_compress(&e->Info);
    e->Created = true;
    jpeg_mem_dest(&e->Info, &e->Output, &e->OutputSize);
    e->Info.image_width = JDIMENSION(width);
    e->Info.image_height = JDIMENSION(height);
    e->Info.input_components = 3;
    e->Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e->Info);
    jpeg_set_quality(&e->Info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&e->Info);
    jpeg_start_compress(&e->Info, TRUE);
    JSAMPARRAY row
        = (*e->Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&e->Info), JPOOL_IMAGE, JDIMENSION(width) * 3, 1);
    while (e->Info.next_scanline < e->Info.image_height) {
        const auto* in = reinterpret_cast<const quint32*>(bits + qsizetype(e->Info.next_scanline) * bytesPerLine);
        JSAMPLE* out = row[0];
        for (int x = 0; x < width; ++x) {
            out[3 * x] = JSAMPLE((in[x] >> 16) & 0xFF);
            out[3 * x + 1] = JSAMPLE((in[x] >> 8) & 0xFF);
            out[3 * x + 2] = JSAMPLE(in[x] & 0xFF);
        }
        jpeg_write_scanlines(&e->Info, row, 1);
    }
    jpeg_finish_compress(&e->Info);
    return true;
}

struct EncoderGuard {
    Encoder* E;
    ~EncoderGuard()
    {
        if (E->Created)
            jpeg_destroy_compress(&E->Info);
        std::free(E->Output);
    }
};

} // namespace

QImage DecodeJPEG(const QByteArray& bytes, bool* grayscale, bool* progressive)
{
    if (bytes.size() < 4)
        throw EJPEG(QStringLiteral("JPEG error: not a JPEG file"));
    auto decoder = std::make_unique<Decoder>();
    Decoder* d = decoder.get();
    std::memset(d, 0, sizeof(Decoder));
    InitErrorManager(d->Err);
    d->Info.err = &d->Err.Pub;
    d->Data = reinterpret_cast<const JOCTET*>(bytes.constData());
    d->Size = size_t(bytes.size());
    DecoderGuard guard { d };

    if (!DecodeHeader(d))
        throw DecodeError(*d);
    const qint64 width = d->Info.output_width, height = d->Info.output_height;
    if (width <= 0 || height <= 0 || width * height > kMaxJpegPixels)
        throw EJPEG(QStringLiteral("JPEG error: image size %1 x %2 is not supported").arg(width).arg(height));
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        throw EOutOfMemory(QStringLiteral("Not enough memory for a %1 x %2 JPEG image").arg(width).arg(height));
    if (!DecodePixels(d, image.bits(), image.bytesPerLine()))
        throw DecodeError(*d);
    if (grayscale)
        *grayscale = d->Info.out_color_space == JCS_GRAYSCALE;
    if (progressive)
        *progressive = d->Info.progressive_mode;
    return image;
}

QByteArray EncodeJPEG(const QImage& image, int quality, bool progressive)
{
    if (image.isNull())
        throw EJPEG(QStringLiteral("JPEG error: cannot encode an empty image"));
    const QImage rgb = image.hasAlphaChannel() || image.format() != QImage::Format_RGB32
        ? image.convertToFormat(QImage::Format_RGB32)
        : image;
    auto encoder = std::make_unique<Encoder>();
    Encoder* e = encoder.get();
    std::memset(e, 0, sizeof(Encoder));
    InitErrorManager(e->Err);
    e->Info.err = &e->Err.Pub;
    EncoderGuard guard { e };
    if (!EncodePixels(
            e, rgb.constBits(), rgb.bytesPerLine(), rgb.width(), rgb.height(), qBound(1, quality, 100), progressive))
        throw EJPEG(QStringLiteral("JPEG error: %1").arg(QString::fromLatin1(e->Err.Message)));
    return QByteArray(reinterpret_cast<const char*>(e->Output), qsizetype(e->OutputSize));
}
