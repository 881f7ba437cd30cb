// wallpaper.h — the JPEG picture behind the windows.
//
// The picture is decoded with libjpeg (interface version 62) through a file source of our
// own (a 4096-byte buffer) and an error manager whose messages appear in boxes captioned
// "JPEG Library Error".  A fatal decoder error returns control here and nothing of that
// decoder runs again; its buffers are freed on that path.  Pictures over 8192 x 8192 are
// refused before anything is allocated for them.
//
// A decoded picture is a 24-bit bitmap in the program's own byte order (blue, green, red),
// rows bottom-up and padded to 4 bytes.  It is copied centred, without scaling, into the
// background buffer (unpadded bottom-up rows of bufferWidth pixels); what does not fit is
// cut at the edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yk {

inline constexpr int kWallpaperMaxSide = 8192;
inline constexpr char16_t kWallpaperLoadFailed[] = u"壁紙のロードに失敗しました";
inline constexpr char16_t kJpegErrorCaption[] = u"JPEG Library Error";

struct WallpaperPicture {
  int width = 0;
  int height = 0;
  int stride = 0;               // bytes per stored row: (width * 24 + 31) / 32 * 4
  std::vector<uint8_t> pixels;  // stride * height bytes, the last picture row first
};

// Decodes a JPEG file.  Every failure has been shown to the user when this returns
// nothing: the file cannot be opened or the picture is too large ("壁紙のロードに失敗しました"),
// or the decoder gave up (its own message under "JPEG Library Error").  A file that ends
// early still gives the picture decoded so far, after the decoder's warning.
[[nodiscard]] std::optional<WallpaperPicture> DecodeJpegFile(const std::string& path);

// Fills the background buffer white and copies the picture into it, centred.
void PlaceWallpaper(const WallpaperPicture& picture, uint8_t* back, int bufferWidth,
                    int bufferHeight, size_t bufferBytes);

// The whole load: decodes `path` (UTF-16, as stored in the settings) and places it into the
// background.  On failure the background is left as it was, `path` is emptied and false is
// returned.
[[nodiscard]] bool LoadWallpaper(std::u16string& path, uint8_t* back, int bufferWidth,
                                 int bufferHeight, size_t bufferBytes);

}  // namespace yk
