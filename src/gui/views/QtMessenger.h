#pragma once
// Message boxes for the core's messages: QMessageBox over the given owner, else the active window.
#include <QPointer>
#include <QWidget>

#include "base/Messenger.h"

namespace velora::gui {

class QtMessenger : public Messenger {
  public:
    MsgAnswer show(const Message& m) override;
    void setOwner(QWidget* owner) { owner_ = owner; }
    // Set whenever a box has been shown (the splash and a few checks look at it).
    bool messageShown() const { return shown_; }

  private:
    QPointer<QWidget> owner_;
    bool shown_ = false;
};

} // namespace velora::gui
