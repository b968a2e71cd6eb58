#pragma once
// What other parts of the program (the read-outs, the servers that report the position) need
// to know about the link to the control unit.

namespace vantora {

enum class LinkFault {
    None,          // the unit answers
    NoAnswer,      // frames go out, no valid response for a second
    PortLost,      // the open device went away; it is being tried again
    UnableToOpen,  // the chosen port could not be opened
    PortBusy,      // the chosen port is held by another program (or another Vantora)
};

class LinkStatus {
public:
    virtual ~LinkStatus() = default;
    virtual LinkFault Fault() const = 0;
    // True while the last reported position cannot be trusted to be where the rotators are:
    // before the first position report, and while Fault() is not None. A server reporting the
    // position answers with an error then.
    virtual bool PositionStale() const = 0;
};

}  // namespace vantora
