#include "views/HelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QVBoxLayout>

namespace velora::gui {

namespace {
QPointer<HelpWindow> g_help;
}

QString HelpWindow::helpFolder() {
    // Beside the program (build tree), in share/velora of the installation it runs from, then where
    // the build was configured to install.
    const QString bin = QCoreApplication::applicationDirPath();
    const QStringList candidates{bin + QStringLiteral("/help"), bin + QStringLiteral("/../share/velora/help"),
                                 QStringLiteral(VELORA_INSTALL_DATADIR "/help")};
    for (const auto& c : candidates)
        if (QFileInfo::exists(c + QStringLiteral("/index.html"))) return c;
    return candidates.front();
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser) {
    setObjectName(QStringLiteral("help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));
    browser_->setSearchPaths({helpFolder()});
    browser_->setOpenExternalLinks(false);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(browser_);
    resize(640, 480);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(browser_->documentTitle()); });
}

HelpWindow* HelpWindow::instance() {
    return g_help;
}

void HelpWindow::showContext(QWidget* parent, std::optional<int> context) {
    if (!g_help) g_help = new HelpWindow(parent);
    QUrl url = QUrl::fromLocalFile(helpFolder() + QStringLiteral("/index.html"));
    if (context) url.setFragment(QStringLiteral("ctx%1").arg(*context));
    g_help->browser_->setSource(url);
    if (context) g_help->browser_->scrollToAnchor(url.fragment());
    g_help->show();
    g_help->raise();
    g_help->activateWindow();
}

} // namespace velora::gui
