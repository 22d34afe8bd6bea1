#pragma once
// The error log, widget-free: reading \Store\Error_Log.txt into lines, and
// printing its first lines in text mode. The screen (CErrorLogDlg) runs both
// on workers; tests and tools run them directly.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>

#include "pellam/print/CPrintImage.h"
#include "platform/Clock.h"
#include "platform/Device.h"

namespace pellam::service {

inline constexpr const char16_t* kErrorLogPath = u"\\Store\\Error_Log.txt";

// Lines of the log as the list shows them: a line feed ends a line, a
// carriage return is dropped, every other byte is one character of the ANSI
// code page. A last line without a line feed is never a line.
class LogLineSplitter {
public:
    // Appends the lines that `bytes` completes to `out`.
    void feed(const char* bytes, qsizetype length, QStringList& out);
    // Bytes of the line not yet ended by a line feed.
    qsizetype pending() const { return m_line.size(); }

private:
    QByteArray m_line;
};

// What the loader reports, in this order: whether the file opened and how
// long it is (once), then the lines in batches. A batch callback that
// returns false (the screen has closed) ends the load.
struct LogSink {
    std::function<void(bool opened, qint64 length)> opened;
    std::function<bool(QStringList lines)> lines;
};

// The first batch goes as soon as it holds the lines a print takes, so that
// they show (and print) at once; later ones once they hold kLogBatchLines
// (the bytes are split 64 KiB at a time, so a batch may run a little over).
inline constexpr qsizetype kLogBatchLines = 2500;
inline constexpr int kPrintedLogLines = 20;
// The file is read this much at a time: a log of any size costs the list's
// lines, not a copy of the file besides.
inline constexpr qint64 kLogReadChunk = 1 << 20;

// Reads the log at `devicePath`. `cancel` is looked at between chunks and
// batches. Returns the number of lines delivered.
qint64 loadErrorLog(const QString& devicePath, const LogSink& sink, const std::atomic<bool>* cancel = nullptr);

// The text a print carries: the first 20 lines at most, each with a line feed.
QString printText(const QStringList& lines);

// The error log's image: text mode, H = dot width - 75, 3300 columns.
inline constexpr uint32_t kLogMarginDots = 75;
inline constexpr int kLogColumns = 3300;
inline constexpr int kLogPrintRows = 3250;
bool createLogImage(platform::DeviceHandle& handle, CPrintImage& image);

// Asked before each busy poll: true gives the wait up (a closing screen).
using GiveUp = std::function<bool()>;

// The print: job begin, image begin, the text rendered, the dot width asked
// once, raster rows 0 to 3249 of dot width / 8 bytes each (the dots past the
// image's rows blank), image end, 3000 ms, the busy wait, job end. Returns
// the rows written (0 without an image: nothing is sent).
int printErrorLog(platform::DeviceHandle& handle, CPrintImage& image, const QString& text,
                  const GiveUp& giveUp = {});

} // namespace pellam::service
