#include "ErrorLog.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cstring>

#include "pellam/driver/PrintSequence.h"
#include "pellam/driver/UserDriver.h"
#include "platform/CodePage.h"
#include "platform/DevicePath.h"

namespace pellam::service {

void LogLineSplitter::feed(const char* bytes, qsizetype length, QStringList& out)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const char b = bytes[i];
        if (b != '\n' && b != '\r')
            continue;
        m_line.append(bytes + start, i - start);
        start = i + 1;
        if (b == '\n') {
            out.append(platform::fromAnsi(m_line));
            m_line.clear();
        }
    }
    m_line.append(bytes + start, length - start);
}

qint64 loadErrorLog(const QString& devicePath, const LogSink& sink, const std::atomic<bool>* cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    const QString host = platform::hostPath(devicePath);
    QFile file(host);
    if (host.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        if (sink.opened)
            sink.opened(false, 0);
        return 0;
    }
    const qint64 length = file.size();
    if (sink.opened)
        sink.opened(true, length);

    LogLineSplitter splitter;
    QStringList batch;
    qint64 delivered = 0;
    qsizetype limit = kPrintedLogLines;
    const auto deliver = [&]() -> bool {
        if (batch.isEmpty())
            return true;
        delivered += batch.size();
        const bool more = !sink.lines || sink.lines(std::move(batch));
        batch = QStringList();
        limit = kLogBatchLines;
        return more && !cancelled();
    };

    QByteArray chunk(qsizetype(kLogReadChunk), Qt::Uninitialized);
    while (!cancelled()) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got <= 0)
            break;
        // Split in slices so that a batch never grows far past its size.
        constexpr qsizetype kSlice = 64 * 1024;
        for (qsizetype at = 0; at < got; at += kSlice) {
            splitter.feed(chunk.constData() + at, std::min<qsizetype>(kSlice, qsizetype(got) - at), batch);
            if (batch.size() >= limit && !deliver())
                return delivered;
        }
    }
    if (!cancelled())
        deliver();
    return delivered;
}

QString printText(const QStringList& lines)
{
    QString text;
    const qsizetype n = std::min<qsizetype>(lines.size(), kPrintedLogLines);
    for (qsizetype i = 0; i < n; ++i)
        text += lines[i] + QLatin1Char('\n');
    return text;
}

bool createLogImage(platform::DeviceHandle& handle, CPrintImage& image)
{
    image.setMode(CPrintImage::Text);
    const uint32_t dots = driver::dotWidth(handle);
    // A head no wider than the margin leaves no rows: no image.
    if (dots <= kLogMarginDots)
        return image.create(0, kLogColumns);
    return image.create(dots - kLogMarginDots, kLogColumns);
}

int printErrorLog(platform::DeviceHandle& handle, CPrintImage& image, const QString& text, const GiveUp& giveUp)
{
    if (!image.isValid())
        return 0;
    driver::beginJob(handle);
    int written = 0;
    driver::sendImage(handle, [&](platform::DeviceHandle& h) {
        image.setMode(CPrintImage::Text);
        image.setText(text);
        image.render();
        const uint32_t rowBytes = driver::dotWidth(h) / 8;
        // The head takes dot width / 8 bytes; the image has 75 rows fewer,
        // so the bytes past its own stay blank.
        std::array<uint8_t, CPrintImage::kRowBufferBytes> row{};
        const size_t imageBytes = std::min<size_t>(size_t(image.rowBytes()), rowBytes);
        for (int j = 0; j < kLogPrintRows; ++j) {
            std::memcpy(row.data(), image.rasterRow(j), imageBytes);
            driver::writeRasterRow(h, std::span<const uint8_t>(row.data(), rowBytes));
            ++written;
        }
    });
    driver::waitWhileBusy(handle, driver::kErrorLogSettle, giveUp);
    driver::endJob(handle);
    return written;
}

} // namespace pellam::service
