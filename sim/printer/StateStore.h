#pragma once
// What the simulated printer keeps across power cycles (usage counters, the
// TagChip images and versions, sensor and converter settings, the PEB and
// cut-force values, the keyboard layout, the unit's encoder ratios): one
// text file below the device root.
//
// Several programs may drive the same printer at once (vantor and pellam on
// one device root), so a change is never written from a stale copy: each
// change is kept as an operation (add a delta, set a value), and a flush
// takes the file's lock, reads the file as it is now, applies the
// operations and writes the file whole (temporary file, then rename). Before
// each request the store reloads the file when another process changed it.
//
// A file that is not a state file at all is kept beside as "<name>.bad" and
// factory values are written, with a warning on standard error. A single
// entry that does not parse is reported and ignored (the key keeps its
// factory value); every other entry, hand-edited or not, loads.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace sim {

// Keys of the state file.
namespace stateKey {
constexpr const char* CutsMade = "Usage.CutsMade";
constexpr const char* InchesPrinted = "Usage.InchesPrinted"; // whole inches besides the rows below
constexpr const char* RowsPrinted = "Usage.RowsPrinted";     // dot rows, 320 per inch
constexpr const char* InchesFed = "Usage.InchesFed";
constexpr const char* TapeTagChipVersion = "TagChip.TapeVersion";
constexpr const char* RibbonTagChipVersion = "TagChip.RibbonVersion";
constexpr const char* TapeTagChipImage = "TagChip.TapeImage";     // 128 bytes, hex
constexpr const char* RibbonTagChipImage = "TagChip.RibbonImage"; // 128 bytes, hex
constexpr const char* TagChipPrograms = "TagChip.Programs";
constexpr const char* KeyboardLayout = "Keyboard.Layout";
constexpr const char* PlatenEncoderRatio = "Platen.EncoderRatio"; // counts per full step
constexpr const char* RewindEncoderRatio = "TapeRewind.EncoderRatio";
constexpr const char* RibbonEncoderRatio = "Ribbon.EncoderRatio";
constexpr const char* PlatenMoves = "Platen.Moves";
constexpr const char* PlatenPulses = "Platen.Pulses";
constexpr const char* TapeRewindMoves = "TapeRewind.Moves";
constexpr const char* RibbonMoves = "Ribbon.Moves";
constexpr const char* EjectorRevolutions = "Ejector.Revolutions";
constexpr const char* EndCutterCuts = "EndCutter.Cuts";
constexpr const char* PrintHeadLoads = "PrintHead.Loads";
constexpr const char* PrintHeadLifts = "PrintHead.Lifts";
constexpr const char* PrintHeadResistance = "PrintHead.Resistance";
constexpr const char* XYCuts = "XYCutter.Cuts";
constexpr const char* XYMoves = "XYCutter.Moves";
constexpr const char* MediaJamRuns = "MediaJam.Runs";
constexpr const char* FiducialRuns = "Fiducial.Runs";
constexpr const char* RibbonColorRuns = "RibbonColor.Runs";
constexpr const char* PrintJobs = "Print.Jobs";
constexpr const char* SpoolImages = "Print.SpoolImages"; // numbers the captured images
constexpr const char* CutForceM = "CutForce.M";
constexpr const char* CutForceC = "CutForce.C";
constexpr const char* LinerLevelPrefix = "Sensor.LinerLevel."; // + item: the level seen on liner
constexpr const char* MediaLevelPrefix = "Sensor.MediaLevel."; // + item: the level seen on tape or ribbon
constexpr const char* SensorDacPrefix = "Sensor.Dac.";         // + item 28 to 31: the DAC setting
constexpr const char* ColorDacPrefix = "ColorSensor.Dac.";     // + 0 red, 1 green, 2 blue
constexpr const char* DacPrefix = "Dac.";                      // + item 64 to 87
constexpr const char* GpioPrefix = "Gpio.";                    // + item 37 to 63: the output latch
constexpr const char* PebPrefix = "Peb.";                      // + item 99 to 106, 123, 136
} // namespace stateKey

class StateStore {
public:
    // hostFile: the state file's host path. seed: makes the factory values of
    // this unit (its encoder ratios, sensor levels, PEB values).
    StateStore(QString hostFile, uint64_t seed);

    // Reads the file (a missing file is written with factory values, a
    // corrupt one kept as .bad first). Returns false when it was not a good
    // file.
    bool load();
    // Reloads when the file changed since this store last read or wrote it.
    void refresh();
    // Writes the pending changes onto the file as it is now.
    bool flush();
    bool save() { return flush(); }
    const QString& hostFile() const { return m_file; }

    int64_t integer(const QString& key) const;
    double real(const QString& key) const;
    QString text(const QString& key) const;
    // A hex-encoded value; empty when it is missing or not hex.
    QByteArray bytes(const QString& key) const;

    void setInteger(const QString& key, int64_t value);
    void setReal(const QString& key, double value);
    void setBytes(const QString& key, const QByteArray& value);
    void add(const QString& key, int64_t delta);
    // Adds 1 under the file's lock and writes at once; the new value, unique
    // across every process that shares the file.
    int64_t next(const QString& key);

    // The changes of one request (made on the thread that began it): a
    // request that fails keeps none of them. Changes from other threads
    // meanwhile (the keyboard) are kept as usual.
    void beginRequest();
    void endRequest(bool keep);

    // The warnings of the last load, once (the next call returns empty).
    QString takeWarning();
    QString warning() const;

    // Key to value, shared between copies until one changes (a store copies
    // the file's values for every request and every write).
    using Values = QMap<QString, QString>;
    static Values factoryValues(uint64_t seed);

private:
    struct Op {
        enum Kind { Add, Set } kind;
        QString key;
        int64_t delta = 0;
        QString value;
    };
    struct FileId {
        qint64 size = -1;
        qint64 mtimeNs = -1;
        quint64 inode = 0;
        bool operator==(const FileId&) const = default;
    };
    enum class ReadResult { Missing, Unreadable, Corrupt, Good };

    ReadResult readFile(Values& values, QStringList& problems) const;
    bool writeFileLocked(const Values& values);
    bool reloadLocked(bool report);
    static void apply(const std::vector<Op>& ops, Values& values);
    void applyOps(Values& values) const;
    void recompute();
    FileId currentId() const;
    QString valueLocked(const QString& key) const;
    void addOp(Op op);
    void setWarnings(const QStringList& warnings, bool toStderr);

    mutable std::mutex m_mutex;
    QString m_file;
    Values m_factory;
    Values m_base;   // the file as last read or written
    Values m_values; // m_base with the pending operations
    std::vector<Op> m_ops;               // kept changes, not yet written
    std::vector<Op> m_requestOps;        // changes of the request in progress
    bool m_inRequest = false;
    std::thread::id m_requestThread;
    FileId m_seen;
    QString m_warning;
    bool m_warningTaken = false;
};

} // namespace sim
