// The header Windows needs to read or write a Bitmap's kRgb24 rows as they are: 24 bits a
// pixel, top row first, rows padded to 4 bytes.
#pragma once

#include <windows.h>

#include <cstdint>

namespace qorva {

inline BITMAPINFO TopDownRgb24Info(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: the top row comes first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace qorva
