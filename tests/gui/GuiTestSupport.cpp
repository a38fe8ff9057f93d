#include "GuiTestSupport.h"

#include <QCoreApplication>
#include <QDir>

#include "dataset/DataSetInit.h"
#include "model/ModelCatalogue.h"

namespace velora::gui::test {

MsgAnswer Recorder::show(const Message& m) {
    shown.push_back(m);
    if (forward) return forward->show(m);
    if (!answers.empty()) {
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (m.buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
        return MsgAnswer::Retry;
    default:
        return MsgAnswer::Ok;
    }
}

std::vector<int> Recorder::ids() const {
    std::vector<int> out;
    for (const auto& m : shown)
        out.push_back(m.textId);
    return out;
}

Fixture::Fixture() {
    texts.load(std::string(VELORA_BIN_DIR) + "/velora.lng");
    doc.image().reset();
    defaultInitialise(doc, true, true);
    doc.image().markSaved();
}

void Fixture::makeDualBand() {
    auto id = identificationOf(doc.image());
    id.setDualBand(true);
    id.setBandCode(kModel2, 6);
    setIdentification(doc.image(), id);
}

void saveShot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("VELORA_SHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    // Pending layout and scroll-bar updates first, so the picture shows what the user would see.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace velora::gui::test
