#pragma once
// The description dialog Form3: the icon panel and the page panel, one on top
// of the other, each with its label, text box and OK and Cancel buttons.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QWidget>
#include <functional>
#include <memory>

#include "model/launcher.h"

namespace qlp::linux_desktop {

class Desktop;

// Counts characters (code points), not UTF-16 units: a Japanese character or
// an emoji counts one. An insertion that would pass the limit keeps only what
// fits; a text that was already longer (set by the program) may shrink but not grow.
class CharacterLimitValidator : public QValidator {
public:
    CharacterLimitValidator(int limit, QObject* parent);
    State validate(QString& input, int& pos) const override;
    // The text before the next edit, which the limit compares against.
    void setPrevious(const QString& text);

private:
    int limit_;
    qsizetype previous_ = 0;
};

qsizetype codePointCount(QStringView text);

// A one-line text box that reports the Enter key before handling it itself.
class DescriptionEdit : public QLineEdit {
public:
    DescriptionEdit(QWidget* parent, std::function<void()> onEnter);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> onEnter_;
};

class DescriptionDialogWindow : public QWidget {
public:
    explicit DescriptionDialogWindow(Desktop& desktop);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Desktop& desktop_;
};

class DescriptionDialogView {
public:
    explicit DescriptionDialogView(Desktop& desktop);
    ~DescriptionDialogView();
    void render();

    QWidget* window() { return window_.get(); }
    QGroupBox* iconPanel() { return frame1_; }
    QGroupBox* pagePanel() { return frame2_; }
    QLabel* iconLabel() { return label1_; }
    QLabel* pageLabel() { return label2_; }
    QLineEdit* iconText() { return text1_; }
    QLineEdit* pageText() { return text2_; }
    QPushButton* iconOk() { return command1_; }
    QPushButton* iconCancel() { return command2_; }
    QPushButton* pageOk() { return command3_; }
    QPushButton* pageCancel() { return command4_; }

private:
    void renderText(QLineEdit* edit, const std::string& text, CharacterLimitValidator* limit);
    void placeOverMainWindow();

    Desktop& desktop_;
    std::unique_ptr<DescriptionDialogWindow> window_;
    QGroupBox* frame1_;
    QLabel* label1_;
    DescriptionEdit* text1_;
    QPushButton* command1_;
    QPushButton* command2_;
    QGroupBox* frame2_;
    QLabel* label2_;
    DescriptionEdit* text2_;
    QPushButton* command3_;
    QPushButton* command4_;
    CharacterLimitValidator* limit1_;
    bool shown_ = false;
    Focus appliedFocus_ = Focus::None;
};

}  // namespace qlp::linux_desktop
