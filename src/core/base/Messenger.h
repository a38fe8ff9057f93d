#pragma once
// The core never shows anything itself: where it must tell or ask the user, it hands a Message
// to the Messenger its caller supplies (Qt message boxes in the GUI, stderr in the CLI, a recorder in tests).
#include <string>

#include "base/TextSource.h"

namespace velora {

enum class MsgIcon { None, Information, Warning, Question, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

struct Message {
    int textId = -1; // language text number of the main text, -1 when composed
    std::string text;
    std::string caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool defaultCancel = false; // Cancel (or No) is the default button
};

class Messenger {
  public:
    virtual ~Messenger() = default;
    virtual MsgAnswer show(const Message& m) = 0;
};

// The answer of a message nobody can be asked (command line, recorded rows): the first button.
MsgAnswer firstButtonAnswer(MsgButtons b);

// The application's message functions: warning, question and error boxes with their default
// captions (texts 206, 205 and 204), by text or by text number.
class MessageBoxes {
  public:
    static constexpr int kCaptionError = 204;
    static constexpr int kCaptionQuestion = 205;
    static constexpr int kCaptionWarning = 206;

    MessageBoxes(Messenger& m, const TextSource& t) : messenger_(m), texts_(t) {}

    MsgAnswer warning(int textId, int captionId = kCaptionWarning, MsgButtons b = MsgButtons::Ok);
    MsgAnswer warningText(std::string text, int captionId = kCaptionWarning, MsgButtons b = MsgButtons::Ok);
    MsgAnswer question(int textId, MsgButtons b, bool defaultCancel = false,
                       int captionId = kCaptionQuestion);
    MsgAnswer questionText(std::string text, MsgButtons b, bool defaultCancel = false,
                           int captionId = kCaptionQuestion);
    MsgAnswer error(int textId, int captionId = kCaptionError);
    MsgAnswer errorText(std::string text, int captionId = kCaptionError);
    MsgAnswer show(Message m) { return messenger_.show(m); }

    std::string text(int id) const { return std::string(texts_.text(id)); }
    const TextSource& texts() const { return texts_; }
    Messenger& messenger() { return messenger_; }

  private:
    MsgAnswer make(int textId, std::string text, int captionId, MsgButtons b, MsgIcon icon, bool defCancel);
    Messenger& messenger_;
    const TextSource& texts_;
};

} // namespace velora
