#pragma once
// The options dialog Form2: icon size sliders with a preview, the size in
// pixels, "変更", and the move-icons check box. Not modal; closing only hides.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include "model/controls.h"

namespace qlp::linux_desktop {

class Desktop;

// A check box whose caption wraps onto further lines within its size, and
// which toggles on a click anywhere inside it.
class WrappingCheckBox : public QCheckBox {
public:
    explicit WrappingCheckBox(QWidget* parent);
    QString caption() const { return caption_->text(); }
    void setCaption(const QString& text) { caption_->setText(text); }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* caption_;
};

class OptionsDialogView : public QWidget {
public:
    explicit OptionsDialogView(Desktop& desktop);
    ~OptionsDialogView() override;
    void render();

    QSlider* sliderW() { return sliderW_; }
    QSlider* sliderH() { return sliderH_; }
    QFrame* preview() { return sample_; }
    QLabel* sizeLabel() { return label1_; }
    QPushButton* applyButton() { return iconsize_; }
    WrappingCheckBox* moveCheck() { return iCheck_; }
    QGroupBox* sizeFrame() { return frame1_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void renderSlider(QSlider* widget, const Slider& slider);
    Desktop& desktop_;
    QGroupBox* frame1_;
    QSlider* sliderW_;
    QSlider* sliderH_;
    QFrame* sample_;
    QLabel* label1_;
    QPushButton* iconsize_;
    WrappingCheckBox* iCheck_;
};

}  // namespace qlp::linux_desktop
