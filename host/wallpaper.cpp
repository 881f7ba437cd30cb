#include "host/wallpaper.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
// jerror.h after jpeglib.h: the message codes and the ERREXIT/WARNMS helpers.
#include <jerror.h>

#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

constexpr size_t kSourceBufferBytes = 4096;

// The decoder's state.  Everything that has to survive a jump back from a fatal error is
// plain data here, so the function holding the jump target has no destructors to skip.
struct DecodeJob {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errorManager;
  std::jmp_buf fatal;
  jpeg_source_mgr source;
  std::FILE* file = nullptr;
  bool atStart = true;  // nothing has been read from the file yet
  JOCTET buffer[kSourceBufferBytes];
  unsigned char* pixels = nullptr;  // malloc'd picture, freed on every failure path
  int width = 0, height = 0, stride = 0;
};

// Structs handed to libjpeg carry no pointer back to us; the job begins with them, so the
// decompression object's address is the job's address.
DecodeJob* JobOf(j_common_ptr cinfo) {
  return reinterpret_cast<DecodeJob*>(reinterpret_cast<char*>(cinfo) - offsetof(DecodeJob, cinfo));
}
DecodeJob* JobOf(j_decompress_ptr cinfo) {
  return JobOf(reinterpret_cast<j_common_ptr>(cinfo));
}

void ShowDecoderMessage(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX] = {};
  (*cinfo->err->format_message)(cinfo, text);
  platform::MessageBox(platform::Utf8ToUtf16(text), kJpegErrorCaption,
                       platform::kMbOk | platform::kMbIconError);
}

[[noreturn]] void FatalError(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  std::longjmp(JobOf(cinfo)->fatal, 1);
}

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  DecodeJob* job = JobOf(cinfo);
  size_t got = std::fread(job->buffer, 1, kSourceBufferBytes, job->file);
  if (got == 0) {
    if (job->atStart) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // The file ended early: say so once and hand the decoder an end-of-image marker, so
    // what was decoded so far still makes a picture.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    job->buffer[0] = 0xFF;
    job->buffer[1] = JPEG_EOI;
    got = 2;
  }
  job->atStart = false;
  job->source.next_input_byte = job->buffer;
  job->source.bytes_in_buffer = got;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  size_t left = static_cast<size_t>(count);
  while (left > src->bytes_in_buffer) {
    left -= src->bytes_in_buffer;
    (void)FillInputBuffer(cinfo);
  }
  src->next_input_byte += left;
  src->bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr) {}

enum class DecodeResult { kDone, kFatal, kTooLarge, kNoMemory };

// Holds the jump target: only trivially destructible locals live here.
DecodeResult RunDecoder(DecodeJob& job) {
  job.cinfo.err = jpeg_std_error(&job.errorManager);
  job.errorManager.error_exit = FatalError;
  job.errorManager.output_message = ShowDecoderMessage;
  if (setjmp(job.fatal) != 0) {
    jpeg_destroy_decompress(&job.cinfo);
    std::free(job.pixels);
    job.pixels = nullptr;
    return DecodeResult::kFatal;
  }
  jpeg_CreateDecompress(&job.cinfo, JPEG_LIB_VERSION, sizeof(job.cinfo));
  job.source.init_source = InitSource;
  job.source.fill_input_buffer = FillInputBuffer;
  job.source.skip_input_data = SkipInputData;
  job.source.resync_to_restart = jpeg_resync_to_restart;
  job.source.term_source = TermSource;
  job.source.next_input_byte = nullptr;
  job.source.bytes_in_buffer = 0;
  job.cinfo.src = &job.source;

  (void)jpeg_read_header(&job.cinfo, TRUE);
  if (job.cinfo.image_width > unsigned(kWallpaperMaxSide) ||
      job.cinfo.image_height > unsigned(kWallpaperMaxSide)) {
    jpeg_destroy_decompress(&job.cinfo);
    return DecodeResult::kTooLarge;
  }
  // The decoder writes our byte order directly.
  job.cinfo.out_color_space = JCS_EXT_BGR;
  (void)jpeg_start_decompress(&job.cinfo);

  job.width = int(job.cinfo.output_width);
  job.height = int(job.cinfo.output_height);
  job.stride = (job.width * 24 + 31) / 32 * 4;
  job.pixels = static_cast<unsigned char*>(std::calloc(size_t(job.stride), size_t(job.height)));
  if (job.pixels == nullptr) {
    jpeg_destroy_decompress(&job.cinfo);
    return DecodeResult::kNoMemory;
  }
  while (job.cinfo.output_scanline < job.cinfo.output_height) {
    // Scanline n is picture row n, stored bottom-up.
    int row = job.height - 1 - int(job.cinfo.output_scanline);
    JSAMPROW target = job.pixels + size_t(row) * size_t(job.stride);
    (void)jpeg_read_scanlines(&job.cinfo, &target, 1);
  }
  (void)jpeg_finish_decompress(&job.cinfo);
  jpeg_destroy_decompress(&job.cinfo);
  return DecodeResult::kDone;
}

}  // namespace

std::optional<WallpaperPicture> DecodeJpegFile(const std::string& path) {
  auto job = std::make_unique<DecodeJob>();
  job->file = std::fopen(path.c_str(), "rb");
  if (job->file == nullptr) {
    platform::MessageBox(kWallpaperLoadFailed);
    return std::nullopt;
  }
  DecodeResult result = RunDecoder(*job);
  std::fclose(job->file);
  if (result == DecodeResult::kTooLarge || result == DecodeResult::kNoMemory)
    platform::MessageBox(kWallpaperLoadFailed);
  if (result != DecodeResult::kDone) return std::nullopt;

  WallpaperPicture picture;
  picture.width = job->width;
  picture.height = job->height;
  picture.stride = job->stride;
  size_t bytes = size_t(job->stride) * size_t(job->height);
  picture.pixels.assign(job->pixels, job->pixels + bytes);
  std::free(job->pixels);
  return picture;
}

void PlaceWallpaper(const WallpaperPicture& picture, uint8_t* back, int bufferWidth,
                    int bufferHeight, size_t bufferBytes) {
  if (back == nullptr || bufferWidth <= 0 || bufferHeight <= 0) return;
  size_t rowBytes = size_t(bufferWidth) * 3;
  if (rowBytes * size_t(bufferHeight) > bufferBytes) return;
  std::memset(back, 255, rowBytes * size_t(bufferHeight));

  int left = bufferWidth / 2 - picture.width / 2;
  int top = bufferHeight / 2 - picture.height / 2;
  // Clip the picture's columns and rows to the buffer.
  int firstX = std::max(0, -left);
  int lastX = std::min(picture.width, bufferWidth - left);  // exclusive
  int firstY = std::max(0, -top);
  int lastY = std::min(picture.height, bufferHeight - top);
  if (firstX >= lastX || firstY >= lastY) return;
  size_t runBytes = size_t(lastX - firstX) * 3;
  for (int y = firstY; y < lastY; ++y) {
    const uint8_t* from = picture.pixels.data() +
                          size_t(picture.height - 1 - y) * size_t(picture.stride) +
                          size_t(firstX) * 3;
    int targetY = top + y;
    uint8_t* to = back + size_t(bufferHeight - 1 - targetY) * rowBytes + size_t(left + firstX) * 3;
    std::memcpy(to, from, runBytes);
  }
}

bool LoadWallpaper(std::u16string& path, uint8_t* back, int bufferWidth, int bufferHeight,
                   size_t bufferBytes) {
  auto picture = DecodeJpegFile(platform::Utf16ToUtf8(path));
  if (!picture) {
    path.clear();
    return false;
  }
  PlaceWallpaper(*picture, back, bufferWidth, bufferHeight, bufferBytes);
  return true;
}

}  // namespace yk
