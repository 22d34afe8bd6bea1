#include "platform/HostDeviceChanges.h"

#include <QList>

namespace platform {

namespace {

const std::string* find(const HotplugProperties& p, std::string_view key)
{
    auto it = p.find(key);
    return it == p.end() || it->second.empty() ? nullptr : &it->second;
}

// udev's *_ENC values escape blanks and unsafe bytes as \xNN.
std::string decodeEscapes(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
            bool ok = false;
            const int v = QString::fromLatin1(s.substr(i + 2, 2)).toInt(&ok, 16);
            if (ok) {
                out += char(v);
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s).trimmed(); }

QString join(const QString& vendor, const QString& model)
{
    if (vendor.isEmpty())
        return model;
    if (model.isEmpty())
        return vendor;
    return vendor + QLatin1Char(' ') + model;
}

} // namespace

QString hotplugDeviceName(const HotplugProperties& p)
{
    auto pair = [&](std::string_view vendorKey, std::string_view modelKey, auto&& convert) {
        const std::string* v = find(p, vendorKey);
        const std::string* m = find(p, modelKey);
        return join(v ? convert(*v) : QString(), m ? convert(*m) : QString());
    };
    QString name = pair("ID_VENDOR_ENC", "ID_MODEL_ENC", [](const std::string& s) { return fromUtf8(decodeEscapes(s)); });
    if (name.isEmpty())
        name = pair("ID_VENDOR_FROM_DATABASE", "ID_MODEL_FROM_DATABASE", fromUtf8);
    if (name.isEmpty())
        name = pair("ID_VENDOR", "ID_MODEL", [](const std::string& s) { return fromUtf8(s).replace(QLatin1Char('_'), QLatin1Char(' ')); });
    if (name.isEmpty())
        if (const std::string* product = find(p, "PRODUCT"))
            name = QStringLiteral("USB ") + fromUtf8(*product);
    if (name.isEmpty())
        if (const std::string* node = find(p, "DEVNAME"))
            name = fromUtf8(*node);
    // Control characters from a device's strings would garble the screen.
    QString clean;
    for (char32_t c : name.toUcs4()) {
        if (QChar::isPrint(c))
            clean += QString::fromUcs4(&c, 1);
        else
            clean += QLatin1Char(' ');
    }
    return clean.simplified();
}

std::optional<DeviceChange> hotplugChange(std::string_view action, const HotplugProperties& p)
{
    const std::string* subsystem = find(p, "SUBSYSTEM");
    const std::string* devtype = find(p, "DEVTYPE");
    if (!subsystem || *subsystem != "usb" || !devtype || *devtype != "usb_device")
        return std::nullopt;
    uint32_t event = 0;
    if (action == "add")
        event = DBT_DEVICEARRIVAL;
    else if (action == "remove")
        event = DBT_DEVICEREMOVECOMPLETE;
    else
        return std::nullopt;
    return DeviceChange{event, portRecord(hotplugDeviceName(p).toStdU16String())};
}

#ifndef DIAG_HAVE_UDEV
std::unique_ptr<HostDeviceChanges> HostDeviceChanges::start(DeviceChangeHub&, QString* why)
{
    if (why)
        *why = QStringLiteral("built without libudev");
    return nullptr;
}

bool HostDeviceChanges::built() { return false; }
#endif

} // namespace platform
