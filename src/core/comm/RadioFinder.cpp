#include "comm/RadioFinder.h"

#include "comm/RadioPresence.h"
#include "comm/RadioProtocol.h"
#include "model/ModelCatalogue.h"

namespace velora::comm {

RadioFound findRadio(ByteLink& link, Clock& clock) {
    RadioFound found;
    found.port = link.openLink();
    if (!found.port.ok()) return found;
    const std::string settings = link.lineSettings();
    const std::uint32_t timeout = link.readTimeout();
    RadioProtocol protocol(link, clock);
    Identification id{};
    if (enterAndIdentify(protocol, id)) {
        const ModelIdentification model(id);
        found.radio = true;
        found.model = dataSetTitle(model);
        if (found.model.empty()) found.model = model.modelCode();
        const std::string now = link.lineSettings();
        found.rate = now.substr(0, now.find(','));
        protocol.leaveRadioMode();
    }
    link.setLineSettings(settings);
    link.setReadTimeout(timeout);
    link.closeLink();
    return found;
}

std::string foundText(const TextSource& texts, const std::string& where, const RadioFound& found) {
    if (!found.port.ok()) return found.port.message;
    if (!found.radio) return formatText(texts.text(kTextNoRadio), {where});
    return formatText(texts.text(kTextRadioFound), {where, found.model, found.rate});
}

} // namespace velora::comm
