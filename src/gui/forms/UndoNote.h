#pragma once
// How an editing widget names the change it just made, for the Edit menu's undo step ("Undo
// Channel 1-3 Receive Frequency"). The editors only name; whoever records the steps installs the
// receiver. Without one (a widget on its own, in a test) the names go nowhere.
#include <QString>
#include <functional>

class QWidget;

namespace velora {
class TextSource;
}

namespace velora::gui {

inline constexpr int kTextChannelPosition = 574; // "Channel %d-%d": group and channel

void describeUndoStep(const QString& what);

// The receiver in charge from now on; an empty function removes it.
void setUndoStepReceiver(std::function<void(const QString&)> receiver);

// A control's caption as a step name: the text of a label, button or group box, without mnemonic
// markers, line breaks or a trailing colon. Empty for anything else.
QString undoCaption(const QWidget* control);
QString undoCaption(QString text);

// "Channel 1-3 Receive Frequency": a channel grid step, group and channel counted from 1.
QString channelStepName(const TextSource& texts, int group, int channel, const QString& what);

} // namespace velora::gui
