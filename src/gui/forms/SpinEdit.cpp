#include "forms/SpinEdit.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace velora::gui {

namespace {
QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus); // the edit keeps the focus, so a click does not commit it twice
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    b->setFixedWidth(15);
    return b;
}
} // namespace

SpinButtons::SpinButtons(QWidget* parent) : QWidget(parent) {
    up_ = arrowButton(Qt::UpArrow, this);
    down_ = arrowButton(Qt::DownArrow, this);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(up_);
    l->addWidget(down_);
    setFixedWidth(15);
    connect(up_, &QToolButton::clicked, this, [this] { emit stepped(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

SpinEdit::SpinEdit(QWidget* parent) : QWidget(parent) {
    edit_ = new FilteredLineEdit(this);
    buttons_ = new SpinButtons(this);
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    l->addWidget(edit_);
    l->addWidget(buttons_);
    setFocusProxy(edit_);
    connect(buttons_, &SpinButtons::stepped, this, &SpinEdit::stepRequested);
}

} // namespace velora::gui
