#pragma once
// The print image: an off-screen bitmap of 16 bits per pixel, W columns (the
// requested count rounded up to 32) by H rows (one row per dot across the
// print head), drawn once per job and read out as raster rows. A raster row
// is one column of the bitmap, bottom row first, one bit per dot. Widget-free
// so the print workers and the benchmark can use it off the UI thread.
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

namespace pellam {

class CPrintImage {
public:
    enum Mode { Text = 0, Checkerboard = 1 };

    // Two produced rows of at most 1024 bytes each, so at most 8192 dots.
    static constexpr int kRowBufferBytes = 1024;
    static constexpr uint32_t kMaxDots = kRowBufferBytes * 8;
    static constexpr int kRowsPerInch = 320;

    // Makes the bitmap. False (and no bitmap) when the dot count is 0 or
    // beyond the row buffers, or the bitmap cannot be had; the caller tells
    // the user.
    bool create(uint32_t dots, int columns);
    bool isValid() const { return !m_bitmap.isNull(); }

    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }
    void setSquareSize(int s) { m_square = s; }
    int squareSize() const { return m_square; }
    // Rounded up to a multiple of 32.
    void setJobRows(int rows);
    int jobRows() const { return m_jobRows; }
    void setText(const QString& text) { m_text = text; }

    int width() const { return m_bitmap.width(); }
    int height() const { return m_bitmap.height(); }
    // Bytes of one raster row: H / 8 rounded up.
    int rowBytes() const { return (height() + 7) / 8; }

    // Whole bitmap white, then the text or the checkerboard.
    void render();

    // Odd bands come out inverted: a square at least one band wide (so each
    // band would otherwise repeat the same half of the pattern), up to 1295.
    bool invertsOddBands() const;

    // Raster row j of the job (rowBytes() bytes). Valid until the next call
    // for a row of another pair; null without a bitmap.
    const uint8_t* rasterRow(int j);

    const QImage& bitmap() const { return m_bitmap; }

private:
    void produce(uint8_t* out, int j) const;

    QImage m_bitmap;
    Mode m_mode = Text;
    int m_square = 8;
    int m_jobRows = 0;
    QString m_text;
    std::array<std::array<uint8_t, kRowBufferBytes>, 2> m_rows{};
    int m_pair = -1; // the even/odd pair now in m_rows
};

} // namespace pellam
