// One table per settings section: every line its test can write, and what
// the line yields. Rows are tried in order, so the per-pulse rows of the long
// runs come first. The framing rows every table shares are added last.
#include "vantor/measure/LineTable.h"

namespace vantor::measure {

namespace {
constexpr const char* kCounts = "counts";
constexpr const char* kMs = "ms";
constexpr const char* kRev = "rev";
constexpr const char* kSteps = "steps";

constexpr LineKind F = LineKind::Framing;
constexpr LineKind T = LineKind::Text;
constexpr LineKind M = LineKind::Measurement;
constexpr LineKind S = LineKind::Sample;

std::vector<RowPattern> tapeRewind(const char* name)
{
    return {
        {M, "{cycle}. {text} - {ok} (Encoder {v})", name, {{{"Encoder", kCounts}}}},
        {M, "{cycle}. {text} - {ok}", name},
    };
}
} // namespace

const std::vector<TablePattern>& tablePatterns()
{
    static const std::vector<TablePattern> tables = {
        {"Platen",
         {
             {S, "{cycle}. in detail {index} [{v}]", "", {{{"in detail", kCounts}}}},
             {M, "{cycle}. Total encode = {v} ", "", {{{"Total encode", kCounts}}}},
             {M, "{cycle}. Run Platen - {ok}", "Run Platen"},
         }},
        {"Platen Sensor",
         {
             {S, "{cycle}. {index} - {v},{v}", "", {{{"Sensor", ""}, {"Encoder", kCounts}}}},
             {F, "cycle. index - sensor,encoder"},
             {M, "{cycle}. Total Count (Motor Step) = {v} ", "", {{{"Total Count (Motor Step)", kSteps}}}},
             {M, "{cycle}. Total Count (Encoder Count) = {v} ", "", {{{"Total Count (Encoder Count)", kCounts}}}},
             {M, "{cycle}. Run Platen Sensor - {ok}", "Run Platen Sensor"},
         }},
        {"Platen Life",
         {
             {S, "{cycle}. F {index} [{v}]", "", {{{"Forward Encode", kCounts}}}},
             {S, "{cycle}. R {index} [{v}]", "", {{{"Reverse Encode", kCounts}}}},
             {F, "{cycle}. Forward Encode ({int} pass)"},
             {F, "{cycle}. Reverse Encode ({int} pass)"},
             {M, "{cycle}. Run Platen Life - {ok}", "Run Platen Life"},
         }},
        {"XY Cutter",
         {
             {S, "{cycle}. {index} [{v}]", "", {{{"Cross Web", kCounts}}}},
             {M, "{cycle}. Run Cross Web motor - {ok}", "Run Cross Web motor"},
             {M, "{cycle}. Run Down Web motor - {ok}", "Run Down Web motor"},
             {M, "{cycle}. Run Pinch motor - {ok}", "Run Pinch motor"},
         }},
        {"XY Cutter Life",
         {
             // The aging test's samples are numbered from 1 to 1000 in each cycle.
             {S, "{index}. Encoder [{v}]", "", {{{"Encoder", kCounts}}}},
             {M, "{cycle}. Run Homing Test - {ok}", "Run Homing Test"},
             {M, "{cycle}. Run Aging Test - {ok}", "Run Aging Test"},
             {M, "{cycle}. Run Pinch Test - {ok}", "Run Pinch Test"},
         }},
        {"Tape Rewind", tapeRewind("Tape Rewind")},
        {"Tape Roll Tightness", tapeRewind("Tape Roll Tightness")},
        {"Tape Overshoot", tapeRewind("Tape Overshoot")},
        {"Ribbon Tension",
         {
             {M, "{cycle},Ribbon Tension and Slip Clutch,{ok},{v}", "Ribbon Tension and Slip Clutch",
              {{{"Ribbon Tension and Slip Clutch", kCounts}}}},
             {M, "{cycle},Ribbon Tension and Slip Clutch,{ok},-", "Ribbon Tension and Slip Clutch"},
             {M, "{cycle},Ribbon Tension Only,{ok},-", "Ribbon Tension Only"},
         }},
        {"Ribbon Advance",
         {
             {M, "{cycle},Rocker Arm (cc),{ok},-", "Rocker Arm (cc)"},
             {M, "{cycle},Rocker Arm (c),{ok},-", "Rocker Arm (c)"},
             {M, "{cycle},Slip Clutch,{ok},{v}", "Slip Clutch", {{{"Slip Clutch", kCounts}}}},
             {M, "{cycle},Slip Clutch,{ok},-", "Slip Clutch"},
         }},
        {"Ribbon Drive",
         {
             {M, "{cycle},Ribbon Advance ,{v}, {ok},-", "Ribbon Advance", {{{"Ribbon Advance", kCounts}}}},
             {M, "{cycle},Ribbon Advance ,{ok},-", "Ribbon Advance"},
             {M, "{cycle},Ribbon Reverse ,{v}, {ok},-", "Ribbon Reverse", {{{"Ribbon Reverse", kCounts}}}},
             {M, "{cycle},Ribbon Reverse ,{ok},-", "Ribbon Reverse"},
         }},
        {"Ribbon To Platen",
         {
             // In sequence the advance line has a blank after the name's comma.
             {M, "{cycle},Ribbon Advance w/ Platen, {v}, {ok},-", "Ribbon Advance w/ Platen",
              {{{"Ribbon Advance w/ Platen", kCounts}}}},
             {M, "{cycle},Ribbon Advance w/ Platen,{v}, {ok},-", "Ribbon Advance w/ Platen",
              {{{"Ribbon Advance w/ Platen", kCounts}}}},
             {M, "{cycle},Ribbon Advance w/ Platen,{ok},-", "Ribbon Advance w/ Platen"},
             {M, "{cycle},Ribbon Advance w/ Platen ,{ok},-", "Ribbon Advance w/ Platen"},
             {M, "{cycle},Ribbon Reverse w/ Platen,{v}, {ok},-", "Ribbon Reverse w/ Platen",
              {{{"Ribbon Reverse w/ Platen", kCounts}}}},
             {M, "{cycle},Ribbon Reverse w/ Platen,{ok},-", "Ribbon Reverse w/ Platen"},
         }},
        {"ejector",
         {
             {M, "{cycle}. Run {int} rev (actual run {v} rev) - {ok}", "Run", {{{"actual run", kRev}}}},
         }},
        {"End Cutter",
         {
             {M, "{cycle}. Run motor - {ok}", "Run motor"},
             {M, "{cycle}. Moving duration {v}ms", "", {{{"Moving duration", kMs}}}},
             {M, "{cycle}. Load PH - {ok}", "Load PH"},
             {M, "{cycle}. Unload PH - {ok}", "Unload PH"},
         }},
        {"Print Head Lift",
         {
             {M, "{cycle}. Run motor - {ok} - {v} ms ", "Run motor", {{{"Run motor", kMs}}}},
             {M, "{cycle}. Run motor - {ok}", "Run motor"},
         }},
        {"Fiducial",
         {
             {M, "{cycle}. Run fiducial test - {ok}", "Run fiducial test"},
             {M, "Write To EEPROM - {ok}", "Write To EEPROM"},
             {T, "Update DAC value..."},
             {T, "Retrieving DAC value..."},
             {T, "Retrieving Detector value..."},
         }},
        {"MEdiaJam",
         {
             {M, "{cycle}. Run media jam test - {ok}", "Run media jam test"},
         }},
        {"Ribbon Color",
         {
             {M, "{cycle}. Run Ribbon Color - {ok}", "Run Ribbon Color"},
             {T, "{cycle}. log file is save."},
             {F, "Completed Run: {int}"},
             // The run's header, as the operator typed it.
             {F, "Unit#:{text}"},
             {F, "Run#:{text}"},
             {F, "Ribon Catridge Color:{text}"},
             {F, "Ribon Panel Length:{text}"},
             {F, "Ribon Lot Number:{text}"},
             {F, "Emitter#:{text}"},
             {F, "Detector#:{text}"},
             {M, "Calibration:{v},{v},{v}", "",
              {{{"Calibration Red", ""}, {"Calibration Green", ""}, {"Calibration Blue", ""}}}},
             {M, "SensorRead:{v},{v},{v}", "",
              {{{"SensorRead Red", ""}, {"SensorRead Green", ""}, {"SensorRead Blue", ""}}}},
         }},
        {"Print", {}},
        {"PrintToCut",
         {
             {M, "{cycle}. Run print to cut test - {ok}", "Run print to cut test"},
         }},
    };
    return tables;
}

// Lines of the framework that any run can write.
const std::vector<RowPattern>& commonRows();
const std::vector<RowPattern>& commonRows()
{
    static const std::vector<RowPattern> rows = {
        {F, "== Start =="},
        {F, "== End =="},
        {F, ""}, // " " closes a run; empty lines part the platen life passes
        {F, "{int}/{int}/{int} {int}:{int}:{int}"},
        {M, "{cycle}. Cycle failed: {text} - {ok}", "Cycle"},
        {M, "{cycle}. Cycle failed - {ok}", "Cycle"},
        {M, "{cycle}. No test to run - {ok}", "Cycle"},
        {M, "Step failed: {text} - {ok}", "Step"},
    };
    return rows;
}

} // namespace vantor::measure
