#include "station/link_fault_text.h"

#include "settings/translate.h"

namespace vantora {

std::string PortCaption(int portNumber, const std::string& device)
{
    const std::string number = std::to_string(portNumber);
    if (device.empty() || device == "COM" + number)
        return "COM " + number;
    return "COM " + number + " (" + device + ")";
}

std::string LinkFaultText(LinkFault fault, int portNumber, const std::string& device, int language)
{
    switch (fault) {
    case LinkFault::None: return {};
    case LinkFault::NoAnswer: return Translate(language, kNoAnswerText);
    case LinkFault::UnableToOpen: return Translate(language, kUnableToOpenText);
    case LinkFault::PortLost: {
        std::string text = Translate(language, kPortLostText);
        const std::size_t at = text.find("%1");
        if (at != std::string::npos)
            text.replace(at, 2, PortCaption(portNumber, device));
        return text;
    }
    }
    return {};
}

}  // namespace vantora
