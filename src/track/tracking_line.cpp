#include "track/tracking_line.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace vantora {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Tells a vanishingly small value (which reads as zero) from a huge one once the conversion
// reports it out of range: the decimal magnitude is roughly the position of the first
// significant digit plus the exponent.
bool IsUnderflow(std::string_view intDigits, std::string_view fracDigits, long exponent)
{
    const auto firstInt = intDigits.find_first_not_of('0');
    if (firstInt != std::string_view::npos)
        return static_cast<long>(intDigits.size() - firstInt) + exponent <= 0;
    const auto firstFrac = fracDigits.find_first_not_of('0');
    if (firstFrac == std::string_view::npos)
        return true;  // all zeros
    return -static_cast<long>(firstFrac) + exponent <= 0;
}

}  // namespace

std::string FirstTrackingLine(std::string_view bytes)
{
    std::size_t end = 0;
    while (end < bytes.size() && end < kTrackingLineMax && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    return std::string(bytes.substr(0, end));
}

std::optional<double> ParseTrackingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    const std::string_view intDigits = text.substr(mantissaStart, i - mantissaStart);
    std::string_view fracDigits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        fracDigits = text.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty())
        return std::nullopt;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        const std::size_t expStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (i == expStart)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        return std::nullopt;

    // from_chars takes no leading "+"; the sign is applied afterwards.
    const std::string_view unsignedText = text.substr(mantissaStart);
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(unsignedText.data(), unsignedText.data() + unsignedText.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (!IsUnderflow(intDigits, fracDigits, exponent))
            return std::nullopt;
        value = 0.0;
    } else if (ec != std::errc() || ptr != unsignedText.data() + unsignedText.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> RoundTrackingDegrees(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    if (rounded < static_cast<double>(std::numeric_limits<int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(rounded);
}

std::optional<TrackReading> ParseTrackingLine(std::string_view line)
{
    std::size_t commas[4];
    int found = 0;
    for (std::size_t i = 0; i < line.size() && found < 4; ++i)
        if (line[i] == ',')
            commas[found++] = i;

    // Each field needs the comma before it (and, for fields 2 and 3, the one after it).
    auto field = [&](int before, bool needsAfter) -> std::string_view {
        if (found <= before)
            return {};
        const std::size_t start = commas[before] + 1;
        const int after = before + 1;
        if (found <= after)
            return needsAfter ? std::string_view{} : line.substr(start);
        return line.substr(start, commas[after] - start);
    };

    const auto azimuthValue = ParseTrackingNumber(field(0, true));
    if (!azimuthValue)
        return std::nullopt;
    const auto elevationValue = ParseTrackingNumber(field(1, true));
    if (!elevationValue)
        return std::nullopt;
    const auto azimuth = RoundTrackingDegrees(*azimuthValue);
    const auto elevation = RoundTrackingDegrees(*elevationValue);
    if (!azimuth || !elevation)
        return std::nullopt;

    TrackReading reading;
    reading.azimuth = *azimuth;
    reading.elevation = *elevation;
    reading.name = std::string(field(2, false));
    reading.readout = std::to_string(*azimuth) + "° / " + std::to_string(*elevation) + "°";
    reading.goTo = reading.name == "Moon" && *elevation >= 0;
    return reading;
}

}  // namespace vantora
