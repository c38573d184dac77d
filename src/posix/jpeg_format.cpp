// JPEG through libjpeg-turbo. Library errors jump back to the call that started the
// work; everything they could skip lives on the heap behind a pointer made beforehand.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "posix/image_formats.h"

namespace qorva::posix {

namespace {

// The most the library may allocate for one picture (coefficient buffers of a
// progressive file of the largest allowed size fit).
constexpr long kMaxLibraryMemory = 768L << 20;

struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}

// Warnings stay quiet, except those that mean the data ran out or lost its place: such
// a picture would come back partly grey, so it counts as corrupt.
void OnMessage(j_common_ptr info, int level) {
  if (level != -1) return;
  const int code = info->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC) {
    JumpOnError(info);
  }
}

void UseErrorJump(ErrorJump& error) {
  jpeg_std_error(&error.manager);
  error.manager.error_exit = JumpOnError;
  error.manager.emit_message = OnMessage;
}

struct DecodeJob {
  jpeg_decompress_struct info{};
  ErrorJump error{};
  std::optional<Bitmap> image;
  std::unique_ptr<uint8_t[]> cmykRow;
  ImageStatus failure = ImageStatus::kGenericError;
};

void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int32_t width, bool inverted) {
  for (int32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    // Most CMYK files store the inks inverted (0 is full ink).
    const int c = inverted ? cmyk[0] : 255 - cmyk[0];
    const int m = inverted ? cmyk[1] : 255 - cmyk[1];
    const int y = inverted ? cmyk[2] : 255 - cmyk[2];
    const int k = inverted ? cmyk[3] : 255 - cmyk[3];
    bgr[0] = static_cast<uint8_t>(y * k / 255);
    bgr[1] = static_cast<uint8_t>(m * k / 255);
    bgr[2] = static_cast<uint8_t>(c * k / 255);
  }
}

void RunDecode(DecodeJob* job, std::string_view bytes) {
  jpeg_decompress_struct& info = job->info;
  info.mem->max_memory_to_use = kMaxLibraryMemory;
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return;
  if (!Bitmap::SizeAllowed(info.image_width, info.image_height)) {
    job->failure = ImageStatus::kOutOfMemory;
    return;
  }
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  job->image = Bitmap::Create(static_cast<int32_t>(info.output_width),
                              static_cast<int32_t>(info.output_height), PixelFormat::kRgb24);
  if (!job->image) {
    job->failure = ImageStatus::kOutOfMemory;
    return;
  }
  if (cmyk) job->cmykRow = std::make_unique<uint8_t[]>(size_t{info.output_width} * 4);
  while (info.output_scanline < info.output_height) {
    uint8_t* row = job->image->Row(static_cast<int32_t>(info.output_scanline));
    JSAMPROW target = cmyk ? job->cmykRow.get() : row;
    if (jpeg_read_scanlines(&info, &target, 1) != 1) return;
    if (cmyk) {
      CmykRowToBgr(job->cmykRow.get(), row, job->image->width(), info.saw_Adobe_marker);
    }
  }
  jpeg_finish_decompress(&info);
  job->failure = ImageStatus::kOk;
}

struct EncodeJob {
  jpeg_compress_struct info{};
  ErrorJump error{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

void RunEncode(EncodeJob* job, const Bitmap& image, int32_t quality) {
  jpeg_compress_struct& info = job->info;
  jpeg_mem_dest(&info, &job->buffer, &job->size);
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  const bool withAlpha = image.format() == PixelFormat::kArgb32;
  info.input_components = withAlpha ? 4 : 3;
  info.in_color_space = withAlpha ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.Row(static_cast<int32_t>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
}

}  // namespace

bool LooksLikeJpeg(std::string_view bytes) {
  return bytes.size() >= 3 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
         static_cast<uint8_t>(bytes[1]) == 0xD8 && static_cast<uint8_t>(bytes[2]) == 0xFF;
}

ImageDecodeResult DecodeJpeg(std::string_view bytes) {
  auto job = std::make_unique<DecodeJob>();
  DecodeJob* const work = job.get();
  UseErrorJump(work->error);
  work->info.err = &work->error.manager;
  jpeg_create_decompress(&work->info);
  if (setjmp(work->error.jump) == 0) {
    RunDecode(work, bytes);
  } else {
    work->failure = ImageStatus::kGenericError;
  }
  jpeg_destroy_decompress(&work->info);
  if (work->failure != ImageStatus::kOk) return {work->failure, std::nullopt};
  return {ImageStatus::kOk, std::move(work->image)};
}

ImageEncodeResult EncodeJpeg(const Bitmap& image, int32_t quality) {
  if (image.format() == PixelFormat::kIndexed8) {
    std::optional<Bitmap> rgb = image.ConvertedTo(PixelFormat::kRgb24);
    if (!rgb) return {ImageStatus::kOutOfMemory, {}};
    return EncodeJpeg(*rgb, quality);
  }
  auto job = std::make_unique<EncodeJob>();
  EncodeJob* const work = job.get();
  UseErrorJump(work->error);
  work->info.err = &work->error.manager;
  jpeg_create_compress(&work->info);
  ImageEncodeResult result;
  if (setjmp(work->error.jump) == 0) {
    RunEncode(work, image, quality);
    result.status = ImageStatus::kOk;
    result.bytes.assign(reinterpret_cast<const char*>(work->buffer), work->size);
  }
  jpeg_destroy_compress(&work->info);
  std::free(work->buffer);
  return result;
}

}  // namespace qorva::posix
