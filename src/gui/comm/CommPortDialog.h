#pragma once
// The communication port dialog: COM1 to COM20, each with the device path it stands for and the
// adapter behind it. A port is enabled only when its device is a serial line, told without opening
// it; only the port the user picks is opened, and "Find radio" sends bytes only when pressed. The
// path can be changed in place; picking a USB adapter maps the port to the adapter's own name.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <array>

#include "views/AppContext.h"

namespace velora::gui {

class CommPortDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPorts = 20;
    CommPortDialog(AppContext& ctx, QWidget* parent);

    QRadioButton* portButton(int port) const { return buttons_.at(static_cast<std::size_t>(port - 1)); }
    QLineEdit* pathEdit(int port) const { return paths_.at(static_cast<std::size_t>(port - 1)); }
    QLabel* adapterLabel(int port) const { return adapters_.at(static_cast<std::size_t>(port - 1)); }
    QCheckBox* closeDelayBox() const { return delay_; }
    QLabel* findResult() const { return found_; }
    void findRadios();
    void accept() override;

  private:
    void probe(int port);
    void choose(int port);
    void showUsable(int port, const comm::PortResult& result);
    std::string pathOf(int port) const;

    AppContext& ctx_;
    std::array<QRadioButton*, kPorts> buttons_{};
    std::array<QLineEdit*, kPorts> paths_{};
    std::array<QLabel*, kPorts> adapters_{};
    QCheckBox* delay_;
    QLabel* found_;
};

} // namespace velora::gui
