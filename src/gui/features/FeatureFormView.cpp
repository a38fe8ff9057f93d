#include "features/FeatureFormView.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "features/AreaRegistry.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

FeatureFormView::Owned FeatureFormView::make(AppContext& ctx, std::string_view areaName) {
    Owned o;
    o.store = std::make_unique<ChannelStore>(ctx.doc, ctx.texts);
    forms::AreaServices services{ctx.doc, ctx.boxes, *o.store};
    const forms::AreaInfo* info = forms::findArea(areaName);
    Q_ASSERT(info);
    o.area = info->make(services);
    return o;
}

FeatureFormView::FeatureFormView(AppContext& ctx, EditorHost& frame, std::string_view areaName)
    : FeatureFormView(ctx, frame, make(ctx, areaName)) {}

FeatureFormView::FeatureFormView(AppContext& ctx, EditorHost& frame, std::unique_ptr<forms::FeatureArea> area,
                                 std::unique_ptr<ChannelStore> store)
    : FeatureFormView(ctx, frame, Owned{std::move(store), std::move(area)}) {}

FeatureFormView::FeatureFormView(AppContext& ctx, EditorHost& frame, Owned&& owned)
    : CFormView(*owned.area, ctx.texts, ctx.fixedFont), ctx_(ctx), frame_(frame), owned_(std::move(owned)) {
    connect(this, &CFormView::closeRequested, this, [this] {
        if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    });
    connect(this, &CFormView::helpRequested, this, [this](int topic) { frame_.showHelpTopic(topic); });
    connect(this, &CFormView::refreshViews, this, [this](unsigned views) { refreshOthers(views); });
    activation_ = connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        // No active window at all means the main window lost the activation (to a list's own
        // drop-down, a message box, another program): the view stays as it is.
        if (w) windowActivated(w->widget() == this);
    });
    resize(sizeHint());
}

FeatureFormView::~FeatureFormView() {
    // The area dies with this object, before the base classes take down the widgets: no focus
    // change or activation during their destruction may reach it.
    detach();
}

void FeatureFormView::detach() {
    qApp->removeEventFilter(this);
    disconnect(activation_);
}

void FeatureFormView::windowActivated(bool active) {
    if (active) activated();
}

void FeatureFormView::refreshOthers(unsigned views) {
    frame_.refreshOtherViews(views);
}

std::optional<int> FeatureFormView::helpContext() const {
    return helpTopicFor(QApplication::focusWidget());
}

} // namespace velora::gui
