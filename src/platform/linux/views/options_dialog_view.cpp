#include "platform/linux/views/options_dialog_view.h"

#include <QCloseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

#include "options/options.h"
#include "platform/linux/views/desktop.h"

namespace qlp::linux_desktop {

namespace {

void setTextIfChanged(QAbstractButton* w, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (w->text() != q) w->setText(q);
}

void setGeometryIfChanged(QWidget* w, const QRect& r) {
    if (w->geometry() != r) w->setGeometry(r);
}

}  // namespace

WrappingCheckBox::WrappingCheckBox(QWidget* parent) : QCheckBox(parent), caption_(new QLabel(this)) {
    caption_->setWordWrap(true);
    caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WrappingCheckBox::resizeEvent(QResizeEvent* event) {
    QCheckBox::resizeEvent(event);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    caption_->setGeometry(indicator, 0, std::max(0, width() - indicator), height());
}

OptionsDialogView::OptionsDialogView(Desktop& desktop) : QWidget(nullptr, Qt::Dialog), desktop_(desktop) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // The controls are laid out for a small dialog font, as the main window's labels are.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    frame1_ = new QGroupBox(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    sliderW_ = new QSlider(Qt::Horizontal, frame1_);
    sliderW_->setObjectName(QStringLiteral("SliderW"));
    sliderH_ = new QSlider(Qt::Vertical, frame1_);
    sliderH_->setObjectName(QStringLiteral("SliderH"));
    // The height grows downwards, as the preview does.
    sliderH_->setInvertedAppearance(true);
    sliderH_->setInvertedControls(true);
    sample_ = new QFrame(frame1_);
    sample_->setObjectName(QStringLiteral("sample_img"));
    sample_->setFrameStyle(QFrame::Box | QFrame::Plain);
    sample_->setLineWidth(1);
    label1_ = new QLabel(frame1_);
    label1_->setObjectName(QStringLiteral("Label1"));
    iconsize_ = new QPushButton(frame1_);
    iconsize_->setObjectName(QStringLiteral("iconsize"));
    iCheck_ = new WrappingCheckBox(this);
    iCheck_->setObjectName(QStringLiteral("iCheck"));

    connect(sliderH_, &QSlider::valueChanged, this,
            [this](int value) { desktop_.dispatch([&] { form2::setSliderH(desktop_.app(), value); }); });
    connect(sliderW_, &QSlider::valueChanged, this,
            [this](int value) { desktop_.dispatch([&] { form2::setSliderW(desktop_.app(), value); }); });
    connect(iconsize_, &QPushButton::clicked, this,
            [this] { desktop_.dispatch([&] { form2::iconsize_Click(desktop_.app()); }); });
    connect(iCheck_, &QCheckBox::toggled, this,
            [this](bool checked) { desktop_.dispatch([&] { form2::setICheck(desktop_.app(), checked ? 1 : 0); }); });
}

OptionsDialogView::~OptionsDialogView() = default;

void OptionsDialogView::renderSlider(QSlider* widget, const Slider& slider) {
    const QSignalBlocker block(widget);
    if (widget->minimum() != slider.min || widget->maximum() != slider.max) widget->setRange(slider.min, slider.max);
    if (widget->singleStep() != slider.smallChange) widget->setSingleStep(slider.smallChange);
    if (widget->pageStep() != slider.largeChange) widget->setPageStep(slider.largeChange);
    if (widget->value() != slider.value) widget->setValue(slider.value);
    setGeometryIfChanged(widget, desktop_.pixelRect(slider));
}

void OptionsDialogView::render() {
    const Form2& d = desktop_.app().form2;
    if (!d.loaded) return;
    const QString caption = QString::fromStdString(d.caption);
    if (windowTitle() != caption) setWindowTitle(caption);
    const QSize client(desktop_.px(d.clientWidth), desktop_.pxY(d.clientHeight));
    if (size() != client) setFixedSize(client);

    setGeometryIfChanged(frame1_, desktop_.pixelRect(d.Frame1));
    if (frame1_->title() != QString::fromStdString(d.Frame1.caption)) {
        frame1_->setTitle(QString::fromStdString(d.Frame1.caption));
    }
    renderSlider(sliderW_, d.SliderW);
    renderSlider(sliderH_, d.SliderH);
    setGeometryIfChanged(sample_, desktop_.pixelRect(d.sample_img));
    setGeometryIfChanged(label1_, desktop_.pixelRect(d.Label1));
    if (label1_->text() != QString::fromStdString(d.Label1.caption)) {
        label1_->setText(QString::fromStdString(d.Label1.caption));
    }
    setGeometryIfChanged(iconsize_, desktop_.pixelRect(d.iconsize));
    setTextIfChanged(iconsize_, d.iconsize.caption);
    setGeometryIfChanged(iCheck_, desktop_.pixelRect(d.iCheck));
    if (iCheck_->caption() != QString::fromStdString(d.iCheck.caption)) {
        iCheck_->setCaption(QString::fromStdString(d.iCheck.caption));
        iCheck_->setAccessibleName(iCheck_->caption());
    }
    {
        const QSignalBlocker block(iCheck_);
        if (iCheck_->isChecked() != (d.iCheck.value == 1)) iCheck_->setChecked(d.iCheck.value == 1);
    }

    if (d.visible && !isVisible()) {
        show();
        if (desktop_.app().form1.focus == Focus::Form2) {
            raise();
            activateWindow();
        }
    } else if (!d.visible && isVisible()) {
        hide();
    }
}

void OptionsDialogView::closeEvent(QCloseEvent* event) {
    // The dialog lives as long as the launcher; its close box only hides it.
    event->ignore();
    desktop_.dispatch([this] {
        std::int16_t cancel = 0;
        form2::Form_Unload(desktop_.app(), cancel);
    });
}

}  // namespace qlp::linux_desktop
