#include "forms/FilteredLineEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

namespace velora::gui {

char localeDecimalPoint() {
    QString p = QLocale::system().decimalPoint();
    return (!p.isEmpty() && p.at(0).unicode() < 0x80) ? char(p.at(0).unicode()) : '.';
}

FilteredLineEdit::FilteredLineEdit(QWidget* parent) : QLineEdit(parent), point_(localeDecimalPoint()) {}

forms::EditContext FilteredLineEdit::context(const std::string& latin1) const {
    int start = hasSelectedText() ? selectionStart() : cursorPosition();
    int length = hasSelectedText() ? int(selectedText().size()) : 0;
    return {latin1, start, length, point_};
}

void FilteredLineEdit::insertFiltered(const QString& input) {
    if (isReadOnly()) return;
    std::string current = text().toLatin1().toStdString();
    std::u32string typed;
    for (char32_t c : input.toUcs4())
        typed.push_back(c);
    forms::EditResult r = forms::insertFiltered(class_, context(current), typed, limit_);
    if (r.text == current) return;
    setText(QString::fromLatin1(r.text.data(), qsizetype(r.text.size())));
    setCursorPosition(r.cursor);
    setModified(true);
    emit textEdited(text());
}

void FilteredLineEdit::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste)) {
        insertFiltered(QGuiApplication::clipboard()->text());
        e->accept();
        return;
    }
    const QString t = e->text();
    bool character = t.size() == 1 && (t.at(0).isPrint() || t.at(0) == QChar('\b')) &&
                     !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!character || e->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    char32_t typed = e->key() == Qt::Key_Backspace ? forms::kBackspace : char32_t(t.at(0).unicode());
    forms::CharVerdict v = forms::filterTypedChar(class_, context(text().toLatin1().toStdString()), typed);
    int remaining = int(text().size()) - (hasSelectedText() ? int(selectedText().size()) : 0);
    if (!v.accept || (typed != forms::kBackspace && limit_ > 0 && remaining >= limit_)) {
        e->accept();
        return;
    }
    if (v.insert == typed) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    // The class turned it into another character: put that one in instead.
    QKeyEvent replaced(e->type(), e->key(), e->modifiers(), QString(QChar(char16_t(v.insert))),
                       e->isAutoRepeat());
    QLineEdit::keyPressEvent(&replaced);
    e->accept();
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (e->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    QString commit = e->commitString();
    QInputMethodEvent rest(e->preeditString(), e->attributes());
    rest.setCommitString(QString(), e->replacementStart(), e->replacementLength());
    QLineEdit::inputMethodEvent(&rest);
    insertFiltered(commit);
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* a : menu->actions()) {
        if (a->objectName() != QLatin1String("edit-paste")) continue;
        // The standard paste would bypass the class filter.
        disconnect(a, &QAction::triggered, nullptr, nullptr);
        connect(a, &QAction::triggered, this,
                [this] { insertFiltered(QGuiApplication::clipboard()->text()); });
    }
    menu->exec(e->globalPos());
    delete menu;
}

void FilteredLineEdit::dropEvent(QDropEvent* e) {
    if (e->mimeData()->hasText()) {
        insertFiltered(e->mimeData()->text());
        e->acceptProposedAction();
    }
}

} // namespace velora::gui
