#include "platform/linux/views/description_dialog_view.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWindow>
#include <algorithm>
#include <utility>
#include <vector>

#include "descriptions/descriptions.h"
#include "platform/linux/views/desktop.h"
#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {

namespace {

void setGeometryIfChanged(QWidget* w, const QRect& r) {
    if (w->geometry() != r) w->setGeometry(r);
}

void setCaptionIfChanged(QLabel* w, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (w->text() != q) w->setText(q);
}

void setCaptionIfChanged(QPushButton* w, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (w->text() != q) w->setText(q);
}

}  // namespace

qsizetype codePointCount(QStringView text) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        ++n;
    }
    return n;
}

// --- CharacterLimitValidator ------------------------------------------------

CharacterLimitValidator::CharacterLimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

void CharacterLimitValidator::setPrevious(const QString& text) { previous_ = codePointCount(text); }

QValidator::State CharacterLimitValidator::validate(QString& input, int& pos) const {
    const qsizetype allowed = std::max<qsizetype>(limit_, previous_);
    qsizetype excess = codePointCount(input) - allowed;
    if (excess <= 0) return Acceptable;
    // The cursor stands just after what was inserted (typed, pasted, committed by
    // an input method): drop the tail of the insertion that does not fit.
    int cut = std::clamp(pos, 0, static_cast<int>(input.size()));
    const int end = cut;
    while (excess > 0 && cut > 0) {
        --cut;
        if (cut > 0 && input[cut].isLowSurrogate() && input[cut - 1].isHighSurrogate()) --cut;
        --excess;
    }
    if (excess > 0) return Invalid;
    input.remove(cut, end - cut);
    pos = cut;
    return Acceptable;
}

// --- DescriptionEdit ----------------------------------------------------------

DescriptionEdit::DescriptionEdit(QWidget* parent, std::function<void()> onEnter)
    : QLineEdit(parent), onEnter_(std::move(onEnter)) {}

void DescriptionEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) onEnter_();
    QLineEdit::keyPressEvent(event);
}

// --- DescriptionDialogWindow --------------------------------------------------

DescriptionDialogWindow::DescriptionDialogWindow(Desktop& desktop)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), desktop_(desktop) {
    setObjectName(QStringLiteral("Form3"));
}

void DescriptionDialogWindow::closeEvent(QCloseEvent* event) {
    desktop_.dispatch([&] { form3::closeBox(desktop_.app()); });
    event->accept();
}

// --- DescriptionDialogView ----------------------------------------------------

DescriptionDialogView::DescriptionDialogView(Desktop& desktop)
    : desktop_(desktop), window_(std::make_unique<DescriptionDialogWindow>(desktop)) {
    QWidget* w = window_.get();
    const Form3& d = desktop_.app().form3;

    auto panel = [w](const char* name) {
        auto* box = new QGroupBox(w);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    auto label = [](QWidget* parent, const char* name) {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    auto button = [](QWidget* parent, const char* name) {
        auto* b = new QPushButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    auto app = [this]() -> Launcher& { return desktop_.app(); };

    frame1_ = panel("Frame1");
    label1_ = label(frame1_, "Label1");
    text1_ = new DescriptionEdit(frame1_, [this, app] {
        desktop_.dispatch([&] {
            int key = 13;
            form3::Text1_KeyPress(app(), key);
        });
    });
    text1_->setObjectName(QStringLiteral("Text1"));
    command1_ = button(frame1_, "Command1");
    command2_ = button(frame1_, "Command2");

    frame2_ = panel("Frame2");
    label2_ = label(frame2_, "Label2");
    text2_ = new DescriptionEdit(frame2_, [this, app] {
        desktop_.dispatch([&] {
            int key = 13;
            form3::Text2_KeyPress(app(), key);
        });
    });
    text2_->setObjectName(QStringLiteral("Text2"));
    command3_ = button(frame2_, "Command3");
    command4_ = button(frame2_, "Command4");

    // Qt's own length limit counts UTF-16 units; the validator counts characters.
    limit1_ = new CharacterLimitValidator(d.Text1.maxLength, text1_);
    if (d.Text1.maxLength > 0) text1_->setValidator(limit1_);

    QObject::connect(text1_, &QLineEdit::textChanged, text1_, [this, app](const QString& text) {
        limit1_->setPrevious(text);
        desktop_.dispatch([&] { form3::setText1(app(), text.toStdString()); });
    });
    QObject::connect(text2_, &QLineEdit::textChanged, text2_, [this, app](const QString& text) {
        desktop_.dispatch([&] { form3::setText2(app(), text.toStdString()); });
    });
    QObject::connect(command1_, &QPushButton::clicked, command1_,
                     [this, app] { desktop_.dispatch([&] { form3::Command1_Click(app()); }); });
    QObject::connect(command2_, &QPushButton::clicked, command2_,
                     [this, app] { desktop_.dispatch([&] { form3::Command2_Click(app()); }); });
    QObject::connect(command3_, &QPushButton::clicked, command3_,
                     [this, app] { desktop_.dispatch([&] { form3::Command3_Click(app()); }); });
    QObject::connect(command4_, &QPushButton::clicked, command4_,
                     [this, app] { desktop_.dispatch([&] { form3::Command4_Click(app()); }); });

    // Tab order as the form's design numbers it; panels and labels take no focus.
    std::vector<std::pair<int, QWidget*>> order = {
        {d.Text1.tabIndex, text1_}, {d.Command1.tabIndex, command1_}, {d.Command2.tabIndex, command2_},
        {d.Text2.tabIndex, text2_}, {d.Command3.tabIndex, command3_}, {d.Command4.tabIndex, command4_},
    };
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1].second, order[i].second);

    render();
}

DescriptionDialogView::~DescriptionDialogView() = default;

void DescriptionDialogView::renderText(QLineEdit* edit, const std::string& text, CharacterLimitValidator* limit) {
    const QString q = QString::fromStdString(text);
    if (edit->text() == q) return;
    // A text set by the program is shown whole, even beyond the typing limit.
    if (limit) limit->setPrevious(q);
    // The program's own text is no edit of the user's.
    const QSignalBlocker block(edit);
    edit->setText(q);
}

void DescriptionDialogView::placeOverMainWindow() {
    const QWidget& main = desktop_.mainWindow();
    if (!main.isVisible()) return;
    QRect frame = window_->frameGeometry();
    frame.moveCenter(main.frameGeometry().center());
    window_->move(frame.topLeft());
}

void DescriptionDialogView::render() {
    const Form3& d = desktop_.app().form3;
    const Focus focus = desktop_.app().form1.focus;

    const QString caption = QString::fromStdString(d.caption);
    if (window_->windowTitle() != caption) window_->setWindowTitle(caption);
    const QSize client(desktop_.px(d.clientWidth), desktop_.pxY(d.clientHeight));
    if (window_->size() != client) window_->setFixedSize(client);

    setGeometryIfChanged(frame1_, desktop_.pixelRect(d.Frame1));
    setGeometryIfChanged(label1_, desktop_.pixelRect(d.Label1));
    setGeometryIfChanged(text1_, desktop_.pixelRect(d.Text1));
    setGeometryIfChanged(command1_, desktop_.pixelRect(d.Command1));
    setGeometryIfChanged(command2_, desktop_.pixelRect(d.Command2));
    setGeometryIfChanged(frame2_, desktop_.pixelRect(d.Frame2));
    setGeometryIfChanged(label2_, desktop_.pixelRect(d.Label2));
    setGeometryIfChanged(text2_, desktop_.pixelRect(d.Text2));
    setGeometryIfChanged(command3_, desktop_.pixelRect(d.Command3));
    setGeometryIfChanged(command4_, desktop_.pixelRect(d.Command4));
    setCaptionIfChanged(label1_, d.Label1.caption);
    setCaptionIfChanged(label2_, d.Label2.caption);
    setCaptionIfChanged(command1_, d.Command1.caption);
    setCaptionIfChanged(command2_, d.Command2.caption);
    setCaptionIfChanged(command3_, d.Command3.caption);
    setCaptionIfChanged(command4_, d.Command4.caption);
    renderText(text1_, d.Text1.text, limit1_);
    renderText(text2_, d.Text2.text, nullptr);
    // Both panels cover the same place; the later one lies on top.
    frame2_->raise();
    if (frame1_->isVisibleTo(window_.get()) != d.Frame1.visible) frame1_->setVisible(d.Frame1.visible);
    if (frame2_->isVisibleTo(window_.get()) != d.Frame2.visible) frame2_->setVisible(d.Frame2.visible);

    const bool show = d.loaded && d.visible;
    const bool opening = show && !shown_;
    if (opening) {
        placeOverMainWindow();
        // Kept above the main window it belongs to, even when that one stays on top.
        window_->winId();
        QWindow* own = window_->windowHandle();
        QWindow* main = desktop_.mainWindow().windowHandle();
        if (own && main && own->transientParent() != main) own->setTransientParent(main);
        window_->show();
        window_->activateWindow();
    } else if (!show && shown_) {
        window_->hide();
    }
    shown_ = show;

    if (show && (opening || focus != appliedFocus_)) {
        if (focus == Focus::Form3Text1 && d.Frame1.visible) text1_->setFocus(Qt::OtherFocusReason);
        if (focus == Focus::Form3Text2 && d.Frame2.visible) text2_->setFocus(Qt::OtherFocusReason);
        if (focus == Focus::Form3) window_->activateWindow();
    }
    appliedFocus_ = focus;
}

}  // namespace qlp::linux_desktop
