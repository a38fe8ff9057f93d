#include "forms/CoreBridge.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>
#include <QVariant>
#include <QWidget>

#include "app/FrameCommands.h"

namespace velora::gui {

QString fromCore(const std::string& s) {
    QByteArray bytes(s.data(), qsizetype(s.size()));
    QString utf8 = QString::fromUtf8(bytes);
    return utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(bytes) : utf8;
}

std::string toCore(const QString& s) {
    return s.toLatin1().toStdString();
}

void setControlId(QWidget* w, int id) {
    if (!w || id == 0) return;
    w->setObjectName(QStringLiteral("ctl%1").arg(id));
    w->setProperty("controlId", id);
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
