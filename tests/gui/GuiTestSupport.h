#pragma once
// A complete application context for GUI tests: the real language file, a recording messenger
// that answers from a queue, a default data set and an unopened serial port.
#include <QString>
#include <QWidget>
#include <deque>
#include <vector>

#include "base/LanguageFile.h"
#include "views/AppContext.h"
#include "views/EditorRegistry.h"
#include "views/EditorView.h"

namespace velora::gui::test {

class Recorder : public Messenger {
  public:
    MsgAnswer show(const Message& m) override;
    std::vector<Message> shown;
    std::deque<MsgAnswer> answers; // consumed front to back; default: the first button
    Messenger* forward = nullptr;  // when set, the real boxes answer instead
    std::vector<int> ids() const;
};

struct Fixture {
    Fixture();
    LanguageFile texts;
    Recorder messenger;
    MessageBoxes boxes{messenger, texts};
    Document doc;
    comm::SerialPort port;
    AppContext ctx{doc, texts, boxes, port, QStringLiteral("velora-guitest")};
    EditorRegistry registry;

    QString text(int n) const { return ctx.text(n); }
    void makeDualBand();
};

// A stand-in editor view.
class DummyView : public QWidget, public EditorView {
  public:
    explicit DummyView(const QString& title) {
        setWindowTitle(title);
        resize(200, 120);
    }
};

// Saves a photograph of the widget when VELORA_SHOT_DIR is set.
void saveShot(QWidget* w, const QString& name);

} // namespace velora::gui::test
