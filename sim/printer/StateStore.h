#pragma once
// What the simulated printer keeps across power cycles (usage counters,
// TagChip versions, the keyboard layout, the unit's encoder ratios): one
// text file below the device root, written whole (temporary file, then
// rename) after every change. A file that is missing, unreadable or fails its
// checksum gives factory values and a warning, never a failure.
#include <cstdint>
#include <map>
#include <mutex>
#include <QString>

namespace sim {

// Keys of the state file.
namespace stateKey {
constexpr const char* CutsMade = "Usage.CutsMade";
constexpr const char* InchesPrinted = "Usage.InchesPrinted";
constexpr const char* InchesFed = "Usage.InchesFed";
constexpr const char* TapeTagChipVersion = "TagChip.TapeVersion";
constexpr const char* RibbonTagChipVersion = "TagChip.RibbonVersion";
constexpr const char* KeyboardLayout = "Keyboard.Layout";
constexpr const char* PlatenEncoderRatio = "Platen.EncoderRatio";     // counts per full step
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
constexpr const char* XYCuts = "XYCutter.Cuts";
constexpr const char* XYMoves = "XYCutter.Moves";
constexpr const char* MediaJamRuns = "MediaJam.Runs";
} // namespace stateKey

class StateStore {
public:
    // hostFile: the state file's host path. seed: makes the factory values of
    // this unit (its encoder ratios).
    StateStore(QString hostFile, uint64_t seed);

    // Reads the file; factory values and a warning when it is missing or
    // corrupt. Returns false in that case.
    bool load();
    bool save();
    const QString& hostFile() const { return m_file; }

    int64_t integer(const char* key) const;
    double real(const char* key) const;
    void setInteger(const char* key, int64_t value);
    void setReal(const char* key, double value);
    void add(const char* key, int64_t delta);

    // Saves when something changed since the last save.
    bool flush();
    // The warning of the last load, once (the next call returns empty).
    QString takeWarning();
    QString warning() const;

    static std::map<QString, QString> factoryValues(uint64_t seed);

private:
    QString valueLocked(const char* key) const;
    bool saveLocked();

    mutable std::mutex m_mutex;
    QString m_file;
    uint64_t m_seed;
    std::map<QString, QString> m_values;
    std::map<QString, QString> m_factory;
    QString m_warning;
    bool m_warningTaken = false;
    bool m_dirty = false;
};

} // namespace sim
