#include "forms/CoreBridge.h"

#include <QByteArray>
#include <QVariant>
#include <QWidget>

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

QFont sizedLike(QFont font, const QFont& like) {
    if (like.pointSizeF() > 0)
        font.setPointSizeF(like.pointSizeF());
    else if (like.pixelSize() > 0)
        font.setPixelSize(like.pixelSize());
    return font;
}

} // namespace velora::gui
