#include "vantor/screens/cartridge/CutForce.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "protocol/Calibration.h"
#include "protocol/RequestCodes.h"
#include "protocol/UserRequests.h"

namespace vantor::cartridge {

using namespace protocol;

const std::array<const char*, kCutForceCount> kCutForceListTexts{"XY CUTFORCE_M", "XY CUTFORCE_C"};
const std::array<const char*, kCutForceCount> kCutForceRowLabels{"XY CUTFORCE M", "XY CUTFORCE C"};

DriverStep cutForceSaveStep(int index, float value)
{
    DriverStep s;
    s.code = IOCTL_PRN_CUT_FORCE;
    s.block = {target::CutForceBase + uint32_t(index), cmd::cutForce::Program, 0};
    std::array<uint8_t, 4> bytes;
    std::memcpy(bytes.data(), &value, 4);
    s.value = bytes;
    return s;
}

DriverStep cutForceReadAllStep()
{
    DriverStep s;
    s.code = IOCTL_PRN_CUT_FORCE;
    s.block = {cutForceItem::ReadBoth, cmd::cutForce::Read, 0};
    s.replySize = sizeof(CutForceFloats);
    return s;
}

namespace {

// The longest leading part of the text that reads as a decimal number, as
// the C library's conversion takes it (no hexadecimal, infinity or NaN).
std::string numberPrefix(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    std::string s;
    auto digit = [&](qsizetype k) { return k < text.size() && text[k] >= u'0' && text[k] <= u'9'; };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        s += char(text[i++].unicode());
    bool digits = false;
    while (digit(i)) {
        s += char(text[i++].unicode());
        digits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        s += '.';
        ++i;
        while (digit(i)) {
            s += char(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return {};
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype k = i + 1;
        if (k < text.size() && (text[k] == u'+' || text[k] == u'-'))
            ++k;
        if (digit(k)) {
            s += 'e';
            for (qsizetype j = i + 1; j < k; ++j)
                s += char(text[j].unicode());
            while (digit(k))
                s += char(text[k++].unicode());
        }
    }
    return s;
}

// Whether a number that double precision cannot hold is too large (else it
// is too small, and reads as 0): the decimal exponent of its first
// significant digit.
bool tooLarge(const std::string& s)
{
    const size_t e = s.find('e');
    const std::string mantissa = s.substr(0, e);
    long long exponent = e == std::string::npos ? 0 : std::stoll(s.substr(e + 1).substr(0, 18));
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const size_t firstWhole = whole.find_first_not_of("+-0");
    if (firstWhole != std::string::npos)
        exponent += static_cast<long long>(whole.size() - firstWhole) - 1;
    else if (point != std::string::npos) {
        const std::string frac = mantissa.substr(point + 1);
        exponent -= static_cast<long long>(frac.find_first_not_of('0')) + 1;
    }
    return exponent > 0;
}

} // namespace

std::optional<float> cutForceValue(const QString& text)
{
    const std::string s = numberPrefix(text);
    if (s.empty())
        return 0.0f;
    double d = 0.0;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0); // from_chars takes no '+'
    const auto r = std::from_chars(first, s.data() + s.size(), d);
    if (r.ec == std::errc::result_out_of_range) {
        if (tooLarge(s))
            return std::nullopt;
        return 0.0f;
    }
    const float f = float(d);
    if (!std::isfinite(f))
        return std::nullopt;
    return f;
}

QString cutForceText(float value)
{
    return QString::asprintf("%f", double(value));
}

std::optional<std::array<float, kCutForceCount>> cutForceReadValues(const QByteArray& reply)
{
    if (reply.size() != qsizetype(sizeof(CutForceFloats)))
        return std::nullopt;
    CutForceFloats f;
    std::memcpy(&f, reply.constData(), sizeof f);
    return std::array<float, kCutForceCount>{f.m, f.c};
}

QString cutForceRangeMessage(int index)
{
    return QStringLiteral("\"%1\" is beyond a single-precision number.\n")
        .arg(QLatin1String(kCutForceRowLabels[size_t(index)]));
}

} // namespace vantor::cartridge
