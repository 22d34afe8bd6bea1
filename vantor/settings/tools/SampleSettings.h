#pragma once
// The starter Vantor.ini and the device files it names (ramp profiles, a cut
// file, a mono bitmap), so that a new user can press RUN at once. The
// committed sample/ is made by vantor_sample_gen from this code.
#include <QByteArray>
#include <QString>
#include <vector>

class TestSettingsStore;

// Fills every record of the store with the starter values and saves each into
// the store's settings file (the file itself is not written).
void FillSampleSettings(TestSettingsStore& store);

// A file below the device root: its device path (starting with a backslash)
// and its bytes.
struct SampleDeviceFile {
    QString devicePath;
    QByteArray bytes;
};
std::vector<SampleDeviceFile> SampleDeviceFiles();

// Pulse rates from `from` to `to` in `entries` steps of constant acceleration
// (the speed grows with the square root of the step), as a ramp profile holds
// them.
std::vector<int> RampRates(int from, int to, int entries);
