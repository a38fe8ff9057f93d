#include "comm/RadioPresence.h"

namespace velora::comm {

bool radioAnswers(RadioProtocol& protocol, Identification& id) {
    ByteLink& link = protocol.link();
    link.closeLink();
    if (!link.openLink().ok()) return false;
    const bool answers =
        ok(protocol.enterProgramMode()) && ok(protocol.readIdentification(kSelectorDeck1, id));
    // A radio that answered is left in its normal state, so the write starts its own run.
    if (answers) protocol.leaveRadioMode();
    link.closeLink();
    return answers;
}

std::string identificationText(const Identification& id) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (Byte b : id) {
        if (!out.empty()) out += ' ';
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    return out;
}

} // namespace velora::comm
