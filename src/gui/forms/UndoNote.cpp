#include "forms/UndoNote.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <string>

#include "base/TextSource.h"
#include "forms/CoreBridge.h"

namespace velora::gui {

namespace {
std::function<void(const QString&)>& receiver() {
    static std::function<void(const QString&)> r;
    return r;
}
} // namespace

void describeUndoStep(const QString& what) {
    if (receiver() && !what.isEmpty()) receiver()(what);
}

void setUndoStepReceiver(std::function<void(const QString&)> r) {
    receiver() = std::move(r);
}

QString undoCaption(QString text) {
    text = text.section(QLatin1Char('\t'), 0, 0); // a menu text's shortcut column
    // "&&" is a literal ampersand, a single '&' marks the mnemonic.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text = text.simplified();
    if (text.endsWith(QStringLiteral("..."))) text.chop(3);
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

QString undoCaption(const QWidget* control) {
    if (auto* l = qobject_cast<const QLabel*>(control)) return undoCaption(l->text());
    if (auto* b = qobject_cast<const QAbstractButton*>(control)) return undoCaption(b->text());
    if (auto* g = qobject_cast<const QGroupBox*>(control)) return undoCaption(g->title());
    return {};
}

QString channelStepName(const TextSource& texts, int group, int channel, const QString& what) {
    const std::string position =
        formatText(texts.text(kTextChannelPosition), {std::to_string(group), std::to_string(channel)});
    return what.isEmpty() ? fromCore(position) : fromCore(position) + QLatin1Char(' ') + what;
}

} // namespace velora::gui
