// The machine conditions of the simulator's configuration: sensor states to
// rehearse with and the cartridges in the printer.
//
//   [Sensors]               DIAG_SIM_SENSORS="Door=open;Media=absent;28=1"
//   Door=open
//   MediaPresent=absent
//   DownstreamGap=blocked
//   [Cartridges]            DIAG_SIM_CARTRIDGES="Tape=absent"
//   Tape=absent
#include <cstdlib>

#include "protocol/SensorItems.h"
#include "sim/printer/SimConfig.h"

namespace sim {

namespace {

namespace si = protocol::sensorItem;

struct SensorName {
    const char* name;
    uint32_t item;
};
const SensorName kSensorNames[] = {
    {"door", si::Door},
    {"cutterrearhome", si::CutterRearHome},
    {"cutterfronthome", si::CutterFrontHome},
    {"wiper", si::Wiper},
    {"printheadhome", si::PrintHeadHome},
    {"ejectorhome", si::EjectorHome},
    {"downstreamcenternotch", si::DownstreamCenterNotch},
    {"upstreamcenternotch", si::UpstreamCenterNotch},
    {"downstreamgap", si::DownstreamGap},
    {"upstreamgap", si::UpstreamGap},
    {"mediapresent", si::MediaPresent},
    {"media", si::MediaPresent},
    {"xypinchhome", si::XYPinchHome},
    {"xyunpinchhome", si::XYUnpinchHome},
    {"xycrosswebhome", si::XYCrossWebHome},
    {"downstreamsidenotch", si::DownstreamSideNotch},
    {"upstreamsidenotch", si::UpstreamSideNotch},
    {"encoderlifthome", si::EncoderLiftHome},
    {"encoderliftup", si::EncoderLiftUp},
};

bool sensorItemOf(const QString& key, uint32_t& item)
{
    QString k = key.trimmed().toLower();
    k.remove(QLatin1Char(' '));
    for (const SensorName& n : kSensorNames)
        if (k == QLatin1String(n.name)) {
            item = n.item;
            return true;
        }
    bool ok = false;
    const uint32_t v = k.toUInt(&ok);
    if (ok && protocol::isOnOffSensor(v)) {
        item = v;
        return true;
    }
    return false;
}

// A state as a number or as the word the screens show for it.
bool sensorStateOf(uint32_t item, const QString& text, int32_t& state)
{
    const QString v = text.trimmed().toLower();
    bool ok = false;
    const int n = v.toInt(&ok);
    if (ok) {
        state = n;
        return true;
    }
    struct Word {
        const char* word;
        int32_t state;
    };
    static const Word kDoor[] = {{"open", 1}, {"closed", 0}};
    static const Word kMedia[] = {{"present", 1}, {"absent", 0}, {"blocked", 1}, {"unblocked", 0}};
    static const Word kWiper[] = {{"engaged", 1}, {"disengaged", 0}};
    static const Word kEjector[] = {{"blocked", 0}, {"unblocked", 1}}; // reads 0 when blocked
    static const Word kOther[] = {{"blocked", 1}, {"unblocked", 0}};
    auto find = [&](const auto& words) {
        for (const Word& w : words)
            if (v == QLatin1String(w.word)) {
                state = w.state;
                return true;
            }
        return false;
    };
    switch (item) {
    case si::Door: return find(kDoor);
    case si::MediaPresent: return find(kMedia);
    case si::Wiper: return find(kWiper);
    case si::EjectorHome: return find(kEjector);
    default: return find(kOther);
    }
}

bool presenceOf(const QString& text, bool& present)
{
    const QString s = text.trimmed().toLower();
    if (s == "absent" || s == "0" || s == "off" || s == "no" || s == "out") {
        present = false;
        return true;
    }
    if (s == "present" || s == "1" || s == "on" || s == "yes" || s == "in") {
        present = true;
        return true;
    }
    return false;
}

} // namespace

bool SimConfig::applyMachineSetting(const QString& section, const QString& key, const QString& value)
{
    const QString s = section.trimmed().toLower();
    if (s == "sensors") {
        uint32_t item = 0;
        int32_t state = 0;
        if (!sensorItemOf(key, item) || !sensorStateOf(item, value, state))
            return false;
        sensorStates[item] = state;
        return true;
    }
    if (s == "cartridges") {
        const QString k = key.trimmed().toLower();
        bool present = true;
        if (!presenceOf(value, present))
            return false;
        if (k == "tape")
            tapeCartridgePresent = present;
        else if (k == "ribbon")
            ribbonCartridgePresent = present;
        else
            return false;
        return true;
    }
    return false;
}

void SimConfig::applyMachineEnvironment()
{
    const struct {
        const char* variable;
        const char* section;
    } sources[] = {{"DIAG_SIM_SENSORS", "sensors"}, {"DIAG_SIM_CARTRIDGES", "cartridges"}};
    for (const auto& src : sources) {
        const char* v = std::getenv(src.variable);
        if (!v)
            continue;
        for (const QString& item : QString::fromLocal8Bit(v).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const int eq = item.indexOf(QLatin1Char('='));
            if (eq < 0 || !applyMachineSetting(QLatin1String(src.section), item.left(eq), item.mid(eq + 1)))
                warnings << QStringLiteral("ignored %1 entry \"%2\"").arg(QLatin1String(src.variable), item.trimmed());
        }
    }
}

} // namespace sim
