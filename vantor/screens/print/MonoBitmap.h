#pragma once
// The packed image of a customised print pattern, built from a Windows
// bitmap file. The file comes from outside the program: any bytes give
// either an empty image or the image the file describes, never a read past
// what was handed in.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <QString>

namespace vantor::print {

// Largest packed image accepted (bytes). A 1248-dot column takes 156 bytes,
// so this is far beyond any real label; it keeps a forged header from
// asking for gigabytes.
constexpr uint64_t kMaxPackedImageBytes = 16u * 1024u * 1024u;
// Largest bitmap file read (bytes); a bigger one gives no bytes.
constexpr int64_t kMaxBitmapFileBytes = 64 * 1024 * 1024;

// The file must start with "BM" and a 40-byte information header; the
// pixel data start at the offset the file header gives. At most
// ((W × bpp + 31) / 32 × 4) × |H| bytes are taken, and no more than the
// file holds after the offset. The pixels are taken as 1 bit per pixel,
// column by column (rows in the file's order); the result has
// (W × |H| + 7) / 8 bytes, 0xFF first, a set file bit clearing its bit
// (most significant bit first). A file failing the checks gives no bytes.
std::vector<uint8_t> PackMonoBitmap(const uint8_t* data, size_t size);

// The same from a file (a device path or a host path); an unreadable file
// gives no bytes.
std::vector<uint8_t> PackMonoBitmapFile(const QString& path);

} // namespace vantor::print
