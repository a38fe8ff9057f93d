#include "frame/AboutDialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velora::gui {

AboutDialog::AboutDialog(const TextSource& texts, QWidget* parent) : QDialog(parent) {
    auto t = [&](int n) { return QString::fromStdString(std::string(texts.text(n))); };
    setWindowTitle(t(7));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));
    setObjectName(QStringLiteral("about"));

    auto* icon = new QLabel;
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/129.png")));
    icon->setAlignment(Qt::AlignTop);
    auto* upper = new QVBoxLayout;
    for (int i = 1; i <= 4; ++i)
        upper->addWidget(new QLabel(t(i)));
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(upper, 1);

    // The sample-version lines of the original layout are left out: the lower part follows directly.
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(line);
    v->addWidget(new QLabel(t(5)));
    v->addWidget(new QLabel(t(6)));
    v->addWidget(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velora::gui
