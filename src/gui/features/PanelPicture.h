#pragma once
// The front panel of a control head, drawn to the key rectangles of the key tables so the framed key
// sits exactly where the key view's row says; vector drawing keeps it crisp at any size.
#include <QWidget>
#include <optional>

#include "features/KeyAssignment.h"

namespace velora::gui {

class PanelPicture : public QWidget {
    Q_OBJECT
  public:
    // The drawing's own coordinates, in which the key rectangles are given.
    static constexpr int kCanvasWidth = 256;
    static constexpr int kCanvasHeight = 64;

    explicit PanelPicture(QWidget* parent = nullptr);

    // The head's artwork: the second type has the 14-character display and 13 keys.
    void setHead(bool secondType);
    bool secondType() const { return secondType_; }
    void setFramed(std::optional<keys::KeyRect> key);
    std::optional<keys::KeyRect> framed() const { return framed_; }

    // Where a canvas rectangle lands in the widget.
    QRectF toWidget(const keys::KeyRect& r) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QTransform canvasTransform() const;

    bool secondType_ = false;
    std::optional<keys::KeyRect> framed_;
};

} // namespace velora::gui
