#include "engine/faults.h"

namespace engine {

Decision FaultTable::Apply(Point point, BYTE command, BYTE byte) {
    int any = counts_[{point, AnyCommand}]++;
    int own = command == AnyCommand ? any : counts_[{point, command}]++;
    Decision decision;
    decision.byte = byte;
    for (const Fault& fault : faults_) {
        if (fault.point != point) {
            continue;
        }
        if (fault.command != AnyCommand && fault.command != command) {
            continue;
        }
        int seen = fault.command == AnyCommand ? any : own;
        if (fault.occurrence != EveryTime && fault.occurrence != seen) {
            continue;
        }
        switch (fault.action) {
        case Action::Silence:
            decision.silent = true;
            break;
        case Action::Replace:
            decision.byte = static_cast<BYTE>(fault.value);
            break;
        case Action::Corrupt:
            decision.byte = static_cast<BYTE>(byte ^ fault.value);
            break;
        case Action::Delay:
            decision.delayMs = fault.value;
            break;
        }
        break;
    }
    return decision;
}

} // namespace engine
