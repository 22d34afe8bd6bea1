#include "vantor/screens/fiducial/FiducialSteps.h"

#include "platform/Clock.h"

namespace vantor::fiducial {

namespace {
QString timeLine()
{
    return platform::formatTimeStamp(platform::clock().localTime());
}

// Takes the head of `queue` under `lock`, marking a step in progress.
bool popStep(std::mutex& lock, std::deque<int>& queue, bool& inStep, int& step)
{
    std::lock_guard l(lock);
    if (queue.empty())
        return false;
    step = queue.front();
    queue.pop_front();
    inStep = true;
    return true;
}
} // namespace

FiducialSteps::FiducialSteps(DriverRef driver, Reports reports)
    : m_reports(std::move(reports)), m_driver(std::move(driver))
{
}

void FiducialSteps::setDriver(DriverRef driver)
{
    std::lock_guard l(m_lock);
    m_driver = std::move(driver);
}

DriverRef FiducialSteps::driver() const
{
    std::lock_guard l(m_lock);
    // No handle yet: an invalid one, on which every request fails.
    return m_driver ? m_driver : std::make_shared<platform::DeviceHandle>();
}

void FiducialSteps::queue(std::initializer_list<int> steps)
{
    std::lock_guard l(m_lock);
    m_queue.insert(m_queue.end(), steps);
}

void FiducialSteps::setDacValues(const ColorBytes& values)
{
    std::lock_guard l(m_lock);
    m_dac = values;
}

ColorBytes FiducialSteps::dacValues() const
{
    std::lock_guard l(m_lock);
    return m_dac;
}

ColorBytes FiducialSteps::detector() const
{
    std::lock_guard l(m_lock);
    return m_detector;
}

bool FiducialSteps::busy() const
{
    std::lock_guard l(m_lock);
    return m_inStep || !m_queue.empty();
}

bool FiducialSteps::takeStep()
{
    int step = 0;
    if (!popStep(m_lock, m_queue, m_inStep, step))
        return false;
    switch (step) {
    case kStepWriteDacs: writeDacs(); break;
    case kStepReadDacs: readDacs(); break;
    case kStepReadDetector: readDetector(); break;
    default: break;
    }
    {
        std::lock_guard l(m_lock);
        m_inStep = false;
    }
    // After the flag: the dialog's refresh sees the step done.
    if (step == kStepReadDacs)
        m_reports.valuesRead();
    else if (step == kStepReadDetector)
        m_reports.busyEnded();
    return true;
}

void FiducialSteps::writeDacs()
{
    m_reports.post(timeLine());
    m_reports.post(QStringLiteral("Update DAC value..."));
    const bool ok = WriteEmitterDacs(*driver(), dacValues());
    m_reports.post(WriteResultLine(ok));
    m_reports.post(QString());
}

void FiducialSteps::readDacs()
{
    m_reports.post(timeLine());
    m_reports.post(QStringLiteral("Retrieving DAC value..."));
    ColorBytes values;
    ReadEmitterDacs(*driver(), values);
    std::lock_guard l(m_lock);
    m_dac = values;
}

void FiducialSteps::readDetector()
{
    m_reports.send(QStringLiteral("Retrieving Detector value..."));
    ColorBytes values;
    ReadDetector(*driver(), values);
    {
        std::lock_guard l(m_lock);
        m_detector = values;
    }
    m_reports.post(QString());
}

// --- calibration ---------------------------------------------------------------

CalibrationSteps::CalibrationSteps(DriverRef driver, ColorBytes detector, std::function<void()> busyEnded)
    : m_driver(std::move(driver)), m_busyEnded(std::move(busyEnded)), m_detector(detector)
{
}

void CalibrationSteps::read(int color, uint8_t value)
{
    std::lock_guard l(m_lock);
    m_color = color >= 0 && color < kColors ? color : 0;
    m_value = value;
    m_queue.push_back(kStepWriteEmitter);
    m_queue.push_back(kStepReadColor);
}

ColorBytes CalibrationSteps::detector() const
{
    std::lock_guard l(m_lock);
    return m_detector;
}

bool CalibrationSteps::busy() const
{
    std::lock_guard l(m_lock);
    return m_inStep || !m_queue.empty();
}

bool CalibrationSteps::takeStep()
{
    int step = 0;
    if (!popStep(m_lock, m_queue, m_inStep, step))
        return false;
    int color = 0;
    uint8_t value = 0;
    {
        std::lock_guard l(m_lock);
        color = m_color;
        value = m_value;
    }
    if (step == kStepWriteEmitter) {
        // Only the chosen colour lights: the detector then reads that colour alone.
        ColorBytes values{};
        values[size_t(color)] = value;
        WriteEmitterDacs(*m_driver, values);
    } else if (step == kStepReadColor) {
        ColorBytes read;
        const bool ok = ReadDetector(*m_driver, read);
        std::lock_guard l(m_lock);
        if (ok)
            m_detector[size_t(color)] = read[size_t(color)];
    }
    {
        std::lock_guard l(m_lock);
        m_inStep = false;
    }
    if (step == kStepReadColor)
        m_busyEnded();
    return true;
}

} // namespace vantor::fiducial
