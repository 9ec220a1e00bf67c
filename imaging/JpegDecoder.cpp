#include "imaging/Decoders.h"

#include <QtEndian>
#include <csetjmp>
#include <cstdio>
#include <cstring>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace lumetta {

namespace {

// A progressive file may carry any number of scans; past this many it
// only burns time, and a crafted one would never finish.
constexpr int MaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

// libjpeg's own handler calls exit(); ours jumps back into Decompress.
extern "C" [[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    (*cinfo->err->format_message)(cinfo, reinterpret_cast<ErrorManager *>(cinfo->err)->message);
    JumpBack(cinfo);
}

// libjpeg only warns when picture data is missing and paints the rest
// grey; a cut or garbled picture is refused instead. Harmless oddities
// (padding before a marker, an unknown JFIF revision) are let through.
extern "C" void OnJpegMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
        OnJpegError(cinfo);
    default:
        ++cinfo->err->num_warnings;
    }
}

[[noreturn]] void Fail(j_common_ptr cinfo, const char *text)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", text);
    JumpBack(cinfo);
}

extern "C" void OnJpegProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor
        && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxScans)
        Fail(cinfo, "Too many scans in a progressive JPEG");
}

struct DestroyGuard {
    jpeg_decompress_struct *cinfo;
    ~DestroyGuard() { jpeg_destroy_decompress(cinfo); }
};

// What Decompress hands back; it lives in the caller, so a jump back
// into Decompress skips none of its destructors.
struct JpegJob {
    QByteArrayView data;
    QSize shownSize;
    QImage image;
    QSize fullSize;
    QString error;
};

constexpr J_COLOR_SPACE DirectSpace =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

void CmykRowToRgb(const JSAMPLE *in, QRgb *out, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        // Adobe writes CMYK inverted; most CMYK JPEGs come from Adobe.
        const int c = inverted ? in[0] : 255 - in[0];
        const int m = inverted ? in[1] : 255 - in[1];
        const int y = inverted ? in[2] : 255 - in[2];
        const int k = inverted ? in[3] : 255 - in[3];
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

// The error manager and the guard come before setjmp, and no object with
// a destructor is created after it: a longjmp must skip no destructor.
bool Decompress(JpegJob &job)
{
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    DestroyGuard guard{&cinfo};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegError;
    err.pub.emit_message = OnJpegMessage;
    progress.progress_monitor = OnJpegProgress;

    if (setjmp(err.jump)) {
        job.error = QString::fromLatin1(err.message);
        return false;
    }

    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    // A second fence behind the size check: progressive files keep every
    // coefficient in memory.
    cinfo.mem->max_memory_to_use = long(MaxPictureBytes * 2);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(job.data.data()),
                 static_cast<unsigned long>(job.data.size()));
    jpeg_read_header(&cinfo, TRUE);

    job.fullSize = QSize(int(cinfo.image_width), int(cinfo.image_height));
    if (!WithinPictureLimits(cinfo.image_width, cinfo.image_height))
        Fail(reinterpret_cast<j_common_ptr>(&cinfo), "Picture too large");

    cinfo.scale_num = 1;
    cinfo.scale_denom = JpegScaleDenominator(job.fullSize, job.shownSize);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : DirectSpace;
    jpeg_start_decompress(&cinfo);

    job.image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (job.image.isNull())
        Fail(reinterpret_cast<j_common_ptr>(&cinfo), "Out of memory for the picture");

    JSAMPARRAY cmykRow = nullptr;
    if (cmyk)
        cmykRow = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             cinfo.output_width * 4, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        auto *line = reinterpret_cast<QRgb *>(job.image.scanLine(int(cinfo.output_scanline)));
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, cmykRow, 1);
            CmykRowToRgb(cmykRow[0], line, cinfo.output_width, cinfo.saw_Adobe_marker);
        } else {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(line);
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    }
    // A file cut just before its end marker is cut all the same.
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

int JpegScaleDenominator(QSize fullSize, QSize shownSize)
{
    if (!shownSize.isValid() || shownSize.isEmpty())
        return 1;
    for (const int n : {8, 4, 2}) {
        // libjpeg rounds the scaled size up.
        const int w = (fullSize.width() + n - 1) / n;
        const int h = (fullSize.height() + n - 1) / n;
        if (w >= shownSize.width() && h >= shownSize.height())
            return n;
    }
    return 1;
}

DecodedPicture JpegDecoder::decode(QByteArrayView data, QSize shownSize) const
{
    // The header probe accepts bytes before the start of the image (some
    // webcams send a text line first), so the decoder starts where it does.
    if (!data.startsWith("\xFF\xD8")) {
        const qsizetype start = data.indexOf(QByteArrayView("\xFF\xD8\xFF"));
        if (start > 0)
            data = data.sliced(start);
    }
    JpegJob job{data, shownSize, {}, {}, {}};
    DecodedPicture result;
    if (Decompress(job))
        result.image = std::move(job.image);
    else
        result.error = job.error;
    result.fullSize = job.fullSize;
    return result;
}

} // namespace lumetta
