#include "CPrintImage.h"

#include <QFont>
#include <QPainter>
#include <cstdlib>
#include <cstring>

namespace pellam {

namespace {
int roundUp32(long long v) { return int((v + 31) / 32 * 32); }
} // namespace

bool CPrintImage::create(uint32_t dots, int columns)
{
    m_bitmap = QImage();
    m_pair = -1;
    if (dots == 0 || dots > kMaxDots || columns <= 0)
        return false;
    QImage image(roundUp32(columns), int(dots), QImage::Format_RGB16);
    if (image.isNull())
        return false;
    m_bitmap = std::move(image);
    return true;
}

void CPrintImage::setJobRows(int rows)
{
    m_jobRows = rows <= 0 ? 0 : roundUp32(rows);
}

void CPrintImage::render()
{
    m_pair = -1;
    if (m_bitmap.isNull())
        return;
    m_bitmap.fill(Qt::white);
    const int W = width();
    const int H = height();
    const int s = m_square;

    if (m_mode == Text) {
        QPainter p(&m_bitmap);
        // "Courier" in the metric-compatible face; s x 48 tenths of a point.
        QFont font(QStringLiteral("Liberation Mono"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(s * 4.8);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(10, 10, W - 20, H - 20), Qt::AlignLeft | Qt::AlignTop, m_text);
        return;
    }

    if (s <= 0)
        return;
    // The loop bounds as the pattern has always had them, absolute values
    // included (a square wider than the bitmap still draws its first row).
    const long long yEnd = std::llabs(static_cast<long long>(H) - s + 1);
    const long long xEnd = std::llabs(static_cast<long long>(W) - s + 1);
    int squareRow = 0;
    for (long long y = 0; y < yEnd; y += s, ++squareRow) {
        const int y1 = int(std::min<long long>(y + s, H));
        for (long long x = (squareRow % 2) ? s : 0; x < xEnd; x += 2LL * s) {
            const int x0 = int(x);
            const int x1 = int(std::min<long long>(x + s, W));
            if (x0 >= W)
                break;
            for (int row = int(y); row < y1; ++row) {
                auto* line = reinterpret_cast<uint16_t*>(m_bitmap.scanLine(row));
                std::memset(line + x0, 0, size_t(x1 - x0) * sizeof(uint16_t));
            }
        }
    }
}

bool CPrintImage::invertsOddBands() const
{
    return roundUp32(m_square) >= width() && m_square <= 1295;
}

const uint8_t* CPrintImage::rasterRow(int j)
{
    if (m_bitmap.isNull() || j < 0)
        return nullptr;
    const int pair = j / 2;
    if (pair != m_pair) {
        produce(m_rows[0].data(), pair * 2);
        produce(m_rows[1].data(), pair * 2 + 1);
        m_pair = pair;
    }
    return m_rows[size_t(j % 2)].data();
}

void CPrintImage::produce(uint8_t* out, int j) const
{
    const int W = width();
    const int H = height();
    const int c = j % W;
    const bool invert = invertsOddBands() && ((j / W) % 2) == 1;
    const int bytes = rowBytes();
    const uint8_t* base = m_bitmap.constBits();
    const qsizetype stride = m_bitmap.bytesPerLine();
    for (int i = 0; i < bytes; ++i) {
        uint8_t b = 0;
        for (int m = 0; m < 8; ++m) {
            const int row = H - 1 - 8 * i - m;
            if (row < 0)
                break;
            const auto px = reinterpret_cast<const uint16_t*>(base + row * stride)[c];
            if ((px == 0) != invert)
                b |= uint8_t(0x80u >> m);
        }
        out[i] = b;
    }
}

} // namespace pellam
