#pragma once
// What both programs' walks share: a fresh copy of the sample device root,
// the simulated printer with its faults switched at random, and the check
// that its state file still loads.
#include <QString>
#include <QTemporaryDir>
#include <random>

#include "sim/printer/SimulatedDevices.h"
#include "unittests/random_operator/Walker.h"

namespace randomop {

void copyTree(const QString& from, const QString& to);

// The walk's scratch folder, made deep inside `dir` and made the working
// folder: a relative name typed into a screen, and the hostile texts climb
// four levels ("../../../../etc/passwd"), still ends inside `dir`. The walk
// runs as whoever starts it, in CI as root.
QString enterSandbox(const QTemporaryDir& dir);

// Sets faults of every request code the programs send: none, every n-th
// failing, a share failing at random, latency, or a mix.
void switchFaults(sim::FaultInjector& faults, std::mt19937_64& rng, QStringList& log);

// The simulator's state file (a host path) loads as a good file.
bool stateFileLoads(const QString& hostFile);

// Parses the options or prints the usage; false to end with status 2.
bool parseOptions(int argc, char** argv, Options& options);

} // namespace randomop
