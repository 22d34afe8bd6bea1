#pragma once
// One cycle of each platen test, as its worker performs it: the request and
// the result lines. Widget-free; the lines go to a RunSink.
#include "platform/Device.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/screens/motion/PlatenRecords.h"

namespace vantor::platen {

// Sets the cycle position (cycle from 1 of `totalCycles`), sends the move
// and reports the detail lines and "Total encode", or the FAIL line.
void platenMoveCycle(platform::DeviceHandle& device, PlatenMoveRun& run, int cycle, int totalCycles,
                     RunSink& sink);

// Sends the capturing move and reports the per-pulse batch and the total
// count (its text chosen by record word 148 after the request), or FAIL.
void platenSensorCycle(platform::DeviceHandle& device, PlatenMoveRun& run, int cycle, RunSink& sink);

// Sends the life sequence and reports "OK" and the passes, or FAIL.
void platenLifeCycle(platform::DeviceHandle& device, PlatenLifeRun& run, int cycle, RunSink& sink);

} // namespace vantor::platen
