#include "settings/jpeg_picture.h"

#include "platform/exceptions.h"
#include "platform/files.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace carlume {

namespace {

constexpr std::uint64_t kMaxPixels = 50'000'000;

// libjpeg reports errors through a callback that must not return; it jumps back to the decoder instead.
struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Return;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    info->err->format_message(info, manager->Message);
    std::longjmp(manager->Return, 1);
}

// A warning (a truncated or damaged stream) counts as an error: the picture would be partly grey.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        ErrorExit(info);
}

// Decodes into `picture`; returns false with `manager.Message` set on failure. No C++ object with a
// destructor may live in this frame, as longjmp skips destructors.
bool Decode(const std::string& bytes, TJpegPicture& picture, TErrorManager& manager)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&manager.Base);
    manager.Base.error_exit = ErrorExit;
    manager.Base.emit_message = EmitMessage;
    if (setjmp(manager.Return)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    // A header may claim any size; a logo is small.
    if (std::uint64_t(info.image_width) * info.image_height > kMaxPixels) {
        std::snprintf(manager.Message, sizeof manager.Message, "Picture of %ux%u pixels is too large",
                      info.image_width, info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    picture.Width = int(info.output_width);
    picture.Height = int(info.output_height);
    picture.Rgb.resize(std::size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.Rgb.data() + std::size_t(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

TJpegPicture DecodeJpeg(const std::string& bytes)
{
    TJpegPicture picture;
    TErrorManager manager{};
    if (!Decode(bytes, picture, manager))
        throw Exception(std::string("JPEG error: ") + manager.Message);
    return picture;
}

TJpegPicture DecodeJpegFile(const std::string& path)
{
    return DecodeJpeg(ReadFileBytes(path));
}

} // namespace carlume
