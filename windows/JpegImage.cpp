#include "windows/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace tp {

namespace {

// Larger than any picture the program ships; a damaged header claiming a
// huge size must not make us allocate gigabytes.
constexpr JDIMENSION MaxSide = 8192;

// libjpeg's default error handler calls exit(). Ours jumps back to the
// decoder, which lies in C frames only between setjmp and longjmp.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool warned;
};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are how libjpeg reports a stream that ends early or corrupt
// entropy data (it then pads the picture with grey). We keep the first one
// so that a damaged banner is refused instead of shown half grey.
void emitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return; // trace messages
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (!err->warned) {
        (*cinfo->err->format_message)(cinfo, err->message);
        err->warned = true;
    }
    ++cinfo->err->num_warnings;
}

void outputMessage(j_common_ptr) {}

// The decoding proper. Nothing with a destructor lives in this frame, so the
// longjmp out of libjpeg skips no cleanup.
bool decode(jpeg_decompress_struct* cinfo, ErrorManager* err, const uint8_t* data, size_t size,
            uint8_t* (*allocate)(void*, JDIMENSION, JDIMENSION), void* target) {
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    if (cinfo->num_components != 1 && cinfo->num_components != 3) {
        std::snprintf(err->message, sizeof err->message, "unsupported JPEG with %d components",
                      cinfo->num_components);
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width == 0 || cinfo->output_height == 0 || cinfo->output_width > MaxSide ||
        cinfo->output_height > MaxSide || cinfo->output_components != 3) {
        std::snprintf(err->message, sizeof err->message, "unsupported JPEG size %ux%u",
                      cinfo->output_width, cinfo->output_height);
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    uint8_t* out = allocate(target, cinfo->output_width, cinfo->output_height);
    const size_t stride = size_t(cinfo->output_width) * 3;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out + stride * cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return !err->warned;
}

uint8_t* allocateImage(void* target, JDIMENSION width, JDIMENSION height) {
    auto* image = static_cast<RgbImage*>(target);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->pixels.assign(size_t(width) * height * 3, 0);
    return image->pixels.data();
}

} // namespace

RgbImage DecodeJpeg(const uint8_t* data, size_t size, std::string* error) {
    RgbImage image;
    if (!data || size == 0) {
        if (error) *error = "empty JPEG data";
        return image;
    }
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    if (!decode(&cinfo, &err, data, size, allocateImage, &image)) {
        if (error) *error = err.message;
        return RgbImage{};
    }
    return image;
}

} // namespace tp
