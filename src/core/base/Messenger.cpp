#include "base/Messenger.h"

namespace velora {

MsgAnswer firstButtonAnswer(MsgButtons b) {
    switch (b) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
        return MsgAnswer::Cancel;
    default:
        return MsgAnswer::Ok;
    }
}

MsgAnswer MessageBoxes::make(int textId, std::string text, int captionId, MsgButtons b, MsgIcon icon,
                             bool defCancel) {
    Message m;
    m.textId = textId;
    m.text = textId >= 0 ? std::string(texts_.text(textId)) : std::move(text);
    m.caption = std::string(texts_.text(captionId));
    m.buttons = b;
    m.icon = icon;
    m.defaultCancel = defCancel;
    return messenger_.show(m);
}

MsgAnswer MessageBoxes::warning(int id, int cap, MsgButtons b) {
    return make(id, {}, cap, b, MsgIcon::Warning, false);
}
MsgAnswer MessageBoxes::warningText(std::string t, int cap, MsgButtons b) {
    return make(-1, std::move(t), cap, b, MsgIcon::Warning, false);
}
// Questions carry the warning icon as well.
MsgAnswer MessageBoxes::question(int id, MsgButtons b, bool dc, int cap) {
    return make(id, {}, cap, b, MsgIcon::Warning, dc);
}
MsgAnswer MessageBoxes::questionText(std::string t, MsgButtons b, bool dc, int cap) {
    return make(-1, std::move(t), cap, b, MsgIcon::Warning, dc);
}
MsgAnswer MessageBoxes::error(int id, int cap) {
    return make(id, {}, cap, MsgButtons::Ok, MsgIcon::Error, false);
}
MsgAnswer MessageBoxes::errorText(std::string t, int cap) {
    return make(-1, std::move(t), cap, MsgButtons::Ok, MsgIcon::Error, false);
}

} // namespace velora
