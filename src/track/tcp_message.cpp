#include "track/tcp_message.h"

#include <utility>

namespace vantora {

namespace {

constexpr int kSetSelectedAzimuth = 1;  // Nastav code: azimuth for the selected azimuth rotator
constexpr std::size_t kSetMessageMin = 7;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

TcpAction ParseTcpMessage(std::string_view message)
{
    if (message.size() < 3 || message[0] != '$' || message[1] != '0')
        return {};
    if (message[2] == '0')
        return {TcpAction::Kind::Query, 0};
    if (message[2] != '1' || message.size() < kSetMessageMin)
        return {};
    if (!IsDigit(message[4]) || !IsDigit(message[5]) || !IsDigit(message[6]))
        return {};
    const int value = (message[4] - '0') * 100 + (message[5] - '0') * 10 + (message[6] - '0');
    if (value > kTcpAzimuthMax)
        return {};
    return {TcpAction::Kind::SetAzimuth, value};
}

std::string AzimuthReply(int beamAzimuth)
{
    const int hundreds = beamAzimuth / 100;
    const int tens = (beamAzimuth % 100) / 10;
    const int units = (beamAzimuth % 100) % 10;
    return "$00#" + std::to_string(hundreds) + std::to_string(tens) + std::to_string(units) + "@";
}

TcpCommandHandler::TcpCommandHandler(TargetSink& sink, std::function<int()> beamAzimuth)
    : m_sink(sink), m_beamAzimuth(std::move(beamAzimuth))
{
}

std::optional<std::string> TcpCommandHandler::OnMessage(std::string_view message)
{
    const TcpAction action = ParseTcpMessage(message.substr(0, kTcpMessageMax));
    switch (action.kind) {
    case TcpAction::Kind::Query:
        return AzimuthReply(m_beamAzimuth ? m_beamAzimuth() : 0);
    case TcpAction::Kind::SetAzimuth:
        m_sink.Nastav(kSetSelectedAzimuth, action.azimuth, 0);
        return std::nullopt;
    case TcpAction::Kind::Ignore:
        break;
    }
    return std::nullopt;
}

}  // namespace vantora
