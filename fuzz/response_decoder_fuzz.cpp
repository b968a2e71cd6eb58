// Any bytes from the serial line: the decoder takes them as one delivery, and the link takes them
// cut into deliveries of any size between poll ticks. Neither may read or write out of bounds,
// and what either accepts must be a well-formed frame of the unit.
#include "link/link_controller.h"
#include "link/response_decoder.h"
#include "station/target_entry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using vantora::Checksum8;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class NoKeys : public vantora::LinkInputs {
public:
    vantora::ArrowKeys HeldArrowKeys() const override { return keys; }
    bool TargetBoxHoldsText() const override { return boxHoldsText; }

    vantora::ArrowKeys keys;
    bool boxHoldsText = false;
};

// Every frame the poll tick sends must be a whole command frame: start byte, addresses, its
// length and a checksum over the rest.
class CheckingSink : public vantora::FrameSink {
public:
    bool Connected() const override { return true; }
    int SendData(const std::uint8_t* data, int size) override
    {
        Check(size >= 6 && size <= static_cast<int>(vantora::kCommandBufferSize));
        Check(data[0] == vantora::kStartByte && data[1] == vantora::kProgramAddress);
        Check(data[2] == vantora::kUnitAddress && size == data[3] + 5);
        Check(Checksum8(data, static_cast<std::size_t>(size - 1)) == data[size - 1]);
        ++sent;
        return size;
    }

    int sent = 0;
};

// The link's own hooks do nothing: only what it stores and sends is looked at.
class NoEvents : public vantora::LinkEvents {};

// A delivery the decoder accepted has the unit's address, a valid checksum and fits the buffer.
void CheckAccepted(const std::uint8_t* data, std::size_t size)
{
    Check(size >= 6 && size <= vantora::kReplyBufferSize);
    Check(data[1] == vantora::kUnitAddress);
    Check(Checksum8(data, size - 1) == data[size - 1]);
}

void DecodeWhole(const std::uint8_t* data, std::size_t size)
{
    vantora::ReplyBuffer reply{};
    const auto decoded = vantora::DecodeDelivery(data, static_cast<int>(size), reply);
    if (!decoded)
        return;
    CheckAccepted(data, size);
    if (const auto* position = std::get_if<vantora::PositionReport>(&*decoded)) {
        Check(position->position1 >= 0 && position->position1 <= 65535);
        Check(position->position2 >= -535 && position->position2 <= 65000);
    }
    if (const auto* settings = std::get_if<vantora::SettingsReport>(&*decoded)) {
        // Seven Latin-1 characters: one or two UTF-8 bytes each.
        Check(settings->settings.lcdText1.size() >= 7 && settings->settings.lcdText1.size() <= 14);
        Check(settings->settings.lcdText2.size() >= 7 && settings->settings.lcdText2.size() <= 14);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DecodeWhole(data, size);

    NoKeys inputs;
    CheckingSink sink;
    NoEvents events;
    vantora::LinkController link(inputs, sink, events);

    // The whole input as one delivery first, then cut into pieces.
    link.CommPortDriver1ReceiveData(data, static_cast<int>(size));

    int sentWhenTooOld = link.state.firmwareTooOld ? sink.sent : -1;
    FuzzedDataProvider provider(data, size);
    while (provider.remaining_bytes() > 0) {
        const std::uint8_t step = provider.ConsumeIntegral<std::uint8_t>();
        switch (step % 8) {
        case 0:
            link.Timer1Timer();
            break;
        case 1:
            vantora::TargetKeyPress(vantora::kKeySpace, link.state, link.selectRequest);  // Space in the box
            break;
        case 2:
            link.gotoRequest = {provider.ConsumeIntegral<std::int16_t>(),
                                provider.ConsumeIntegral<std::int16_t>(),
                                provider.ConsumeIntegralInRange<std::uint16_t>(0, 3)};
            break;
        case 3:
            inputs.keys = {provider.ConsumeBool(), provider.ConsumeBool(), provider.ConsumeBool(),
                           provider.ConsumeBool()};
            inputs.boxHoldsText = provider.ConsumeBool();
            break;
        case 4:
            link.VerzeHW1Click();
            break;
        default: {
            // A delivery of up to 96 bytes, what 50 ms at 19200 baud can bring.
            const std::size_t length = provider.ConsumeIntegralInRange<std::size_t>(0, 96);
            const std::vector<std::uint8_t> chunk = provider.ConsumeBytes<std::uint8_t>(length);
            const vantora::RotatorState before = link.state;
            link.CommPortDriver1ReceiveData(chunk.data(), static_cast<int>(chunk.size()));
            vantora::ReplyBuffer reply{};
            const auto decoded =
                vantora::DecodeDelivery(chunk.data(), static_cast<int>(chunk.size()), reply);
            if (!decoded) {
                // A dropped delivery changes nothing that the unit reported.
                Check(link.state.position1 == before.position1);
                Check(link.state.position2 == before.position2);
                Check(link.state.activeRotator == before.activeRotator);
                Check(link.state.firmwareVersion == before.firmwareVersion);
                Check(link.state.firmwareTooOld == before.firmwareTooOld);
                Check(link.state.settings.lcdText1 == before.settings.lcdText1);
            } else if (const auto* position = std::get_if<vantora::PositionReport>(&*decoded)) {
                Check(link.state.position1 == position->position1);
                Check(link.state.position2 == position->position2);
                Check(link.state.activeRotator == position->activeRotator);
            } else if (const auto* version = std::get_if<vantora::VersionReport>(&*decoded)) {
                Check(link.state.firmwareVersion == version->firmwareVersion);
            }
            break;
        }
        }
        // Once too old, always too old, and from then on the poll sends nothing.
        if (link.state.firmwareTooOld) {
            if (sentWhenTooOld < 0)
                sentWhenTooOld = sink.sent;
            Check(sink.sent == sentWhenTooOld);
        } else {
            Check(sentWhenTooOld < 0);
        }
    }
    return 0;
}
