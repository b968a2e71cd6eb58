#pragma once
// The control unit's framed protocol: command and response codes, the shared command buffer.
//
// Command frame (program -> unit): 42, source 0, destination (unit address), L, code,
// L-1 payload bytes, checksum = low 8 bits of the sum of every byte before it.
// Response frame (unit -> program): one delivery of N bytes; byte 1 is the source address,
// byte 4 the response code, the last byte the checksum of all bytes before it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantora {

inline constexpr std::uint8_t kStartByte = 42;   // '*'
inline constexpr std::uint8_t kProgramAddress = 0;
inline constexpr std::uint8_t kUnitAddress = 1;  // the one control unit; fixed, never stored

enum class CommandCode : std::uint8_t {
    CmdGoto = 11,
    CmdManual = 12,
    CmdStop = 13,
    CmdReadSettings = 15,
    CmdWriteSensorIds = 16,
    CmdWriteRotator1 = 17,
    CmdWriteRotator2 = 18,
    CmdSensor = 19,
    CmdWriteDisplay = 20,
    CmdSelectRotator = 21,
    CmdReadVersion = 99,
};

enum class ResponseCode : std::uint8_t {
    RspPosition = 10,
    RspSettings = 15,
    RspVersion = 99,
    RspAck = 100,
};

inline constexpr std::size_t kCommandBufferSize = 151;
inline constexpr std::size_t kReplyBufferSize = 50;

// One buffer shared by every sender. A sender fills offsets 0 .. 3+L and calls Odeslat;
// bytes past the current frame keep whatever an earlier, longer frame left there.
using CommandBuffer = std::array<std::uint8_t, kCommandBufferSize>;

// Low 8 bits of the sum of `size` bytes.
inline std::uint8_t Checksum8(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum = static_cast<std::uint8_t>(sum + data[i]);
    return sum;
}

}  // namespace vantora
