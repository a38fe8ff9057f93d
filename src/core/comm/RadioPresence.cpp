#include "comm/RadioPresence.h"

namespace velora::comm {

bool enterAndIdentify(RadioProtocol& protocol, Identification& id) {
    if (!ok(protocol.enterProgramMode())) return false;
    if (ok(protocol.readIdentification(kSelectorDeck1, id))) return true;
    protocol.leaveRadioMode();
    return false;
}

bool openRadioSession(RadioProtocol& protocol, Identification& id) {
    ByteLink& link = protocol.link();
    link.closeLink();
    if (!link.openLink().ok()) return false;
    if (enterAndIdentify(protocol, id)) return true;
    link.closeLink();
    return false;
}

bool radioStillAnswers(RadioProtocol& protocol, std::string_view rate) {
    ByteLink& link = protocol.link();
    link.closeLink();
    if (!link.openLink().ok()) return true;
    const bool answers = ok(protocol.enterProgramModeAt(rate, kGoneAnswerTimeoutMs));
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
