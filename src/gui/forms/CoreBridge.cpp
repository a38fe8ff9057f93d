#include "forms/CoreBridge.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>
#include <QVariant>
#include <QWidget>

#include "base/FrameCommands.h"

namespace velora::gui {

QString fromCore(const std::string& s) {
    // Never guessed: bytes that happen to form UTF-8 are still one character each, so an edit
    // writes back exactly the bytes it was shown.
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

std::string toCore(const QString& s) {
    return s.toLatin1().toStdString();
}

void setControlId(QWidget* w, int id) {
    if (!w || id == 0) return;
    w->setObjectName(QStringLiteral("ctl%1").arg(id));
    w->setProperty("controlId", id);
}

QFont sizedLike(QFont font, const QFont& like) {
    if (like.pointSizeF() > 0)
        font.setPointSizeF(like.pointSizeF());
    else if (like.pixelSize() > 0)
        font.setPixelSize(like.pixelSize());
    return font;
}

void giveUniqueMnemonics(QMenu* menu) {
    QList<QAction*> items;
    std::vector<std::string> texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) {
            items << a;
            texts.push_back(a->text().toStdString());
        }
    texts = uniqueMnemonics(std::move(texts));
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i]->setText(QString::fromStdString(texts[std::size_t(i)]));
}

} // namespace velora::gui
