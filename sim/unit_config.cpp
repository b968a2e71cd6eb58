#include "unit_config.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

namespace vantora::sim {

LcdText MakeLcdText(const std::string& text)
{
    LcdText out;
    out.fill(' ');
    for (std::size_t i = 0; i < out.size() && i < text.size(); ++i)
        out[i] = static_cast<std::uint8_t>(text[i]);
    return out;
}

std::string LcdTextString(const LcdText& text)
{
    return std::string(text.begin(), text.end());
}

void Normalize(UnitConfig& config)
{
    config.limitSwitch1 = std::min(config.limitSwitch1, kMaxLimitSwitch);
    config.limitSwitch2 = std::min(config.limitSwitch2, kMaxLimitSwitch);
    config.maxElevation2 = std::clamp(config.maxElevation2, kMinMaxElevation, kMaxMaxElevation);
    config.mode2 = config.mode2 == kModeElevation ? kModeElevation : kModeAzimuth;
    config.display20 = config.display20 != 0 ? 1 : 0;
}

namespace {

std::string EscapeText(const LcdText& text)
{
    std::string out;
    for (std::uint8_t byte : text) {
        if (byte > 32 && byte < 127 && byte != '%') {
            out.push_back(static_cast<char>(byte));
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        }
    }
    return out;
}

bool UnescapeText(std::string_view value, LcdText& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            bytes.push_back(value[i]);
            continue;
        }
        unsigned code = 0;
        if (i + 2 >= value.size())
            return false;
        auto [end, ec] = std::from_chars(value.data() + i + 1, value.data() + i + 3, code, 16);
        if (ec != std::errc() || end != value.data() + i + 3)
            return false;
        bytes.push_back(static_cast<char>(code));
        i += 2;
    }
    if (bytes.size() > text.size())
        return false;
    text = MakeLcdText(bytes);
    return true;
}

template <typename T>
void ParseNumber(std::string_view value, T& field, unsigned long maxValue)
{
    unsigned long number = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec == std::errc() && end == value.data() + value.size() && number <= maxValue)
        field = static_cast<T>(number);
}

}  // namespace

std::string FormatUnitConfig(const UnitConfig& c)
{
    std::ostringstream out;
    out << "sensorId1=" << unsigned(c.sensorId1) << '\n'
        << "sensorId2=" << unsigned(c.sensorId2) << '\n'
        << "sensitivity1=" << unsigned(c.sensitivity1) << '\n'
        << "inertia1=" << unsigned(c.inertia1) << '\n'
        << "inertiaTime1=" << unsigned(c.inertiaTime1) << '\n'
        << "limitSwitch1=" << c.limitSwitch1 << '\n'
        << "sensitivity2=" << unsigned(c.sensitivity2) << '\n'
        << "inertia2=" << unsigned(c.inertia2) << '\n'
        << "inertiaTime2=" << unsigned(c.inertiaTime2) << '\n'
        << "maxElevation2=" << unsigned(c.maxElevation2) << '\n'
        << "limitSwitch2=" << c.limitSwitch2 << '\n'
        << "mode2=" << unsigned(c.mode2) << '\n'
        << "lcdText1=" << EscapeText(c.lcdText1) << '\n'
        << "lcdText2=" << EscapeText(c.lcdText2) << '\n'
        << "display20=" << unsigned(c.display20) << '\n';
    return out.str();
}

void ParseUnitConfig(const std::string& text, UnitConfig& c)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string_view name(line.data(), eq);
        const std::string_view value(line.data() + eq + 1, line.size() - eq - 1);
        if (name == "sensorId1") ParseNumber(value, c.sensorId1, 255);
        else if (name == "sensorId2") ParseNumber(value, c.sensorId2, 255);
        else if (name == "sensitivity1") ParseNumber(value, c.sensitivity1, 255);
        else if (name == "inertia1") ParseNumber(value, c.inertia1, 255);
        else if (name == "inertiaTime1") ParseNumber(value, c.inertiaTime1, 255);
        else if (name == "limitSwitch1") ParseNumber(value, c.limitSwitch1, 65535);
        else if (name == "sensitivity2") ParseNumber(value, c.sensitivity2, 255);
        else if (name == "inertia2") ParseNumber(value, c.inertia2, 255);
        else if (name == "inertiaTime2") ParseNumber(value, c.inertiaTime2, 255);
        else if (name == "maxElevation2") ParseNumber(value, c.maxElevation2, 255);
        else if (name == "limitSwitch2") ParseNumber(value, c.limitSwitch2, 65535);
        else if (name == "mode2") ParseNumber(value, c.mode2, 255);
        else if (name == "lcdText1") UnescapeText(value, c.lcdText1);
        else if (name == "lcdText2") UnescapeText(value, c.lcdText2);
        else if (name == "display20") ParseNumber(value, c.display20, 255);
    }
    Normalize(c);
}

bool LoadUnitConfig(const std::string& path, UnitConfig& config)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    ParseUnitConfig(text.str(), config);
    return true;
}

bool SaveUnitConfig(const std::string& path, const UnitConfig& config)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return false;
        file << FormatUnitConfig(config);
        file.flush();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace vantora::sim
