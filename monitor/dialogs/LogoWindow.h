// frmLogo: the borderless, always-on-top start-up banner. While it is open
// the monitor neither reads nor alerts, so a banner left untouched hides
// itself after a few seconds, as "Hide" would: a session started without
// anyone at the screen is still watched.
#pragma once

#include <QWidget>

#include <memory>
#include <optional>

#include "LogoRules.h"
#include "Ports.h"

class QCheckBox;
class QFrame;
class QPushButton;
class QTimer;

namespace velmon {

namespace window {
class WindowMover;
}

class LogoWindow final : public QWidget, public LogoView {
public:
    // mover: how the window is dragged (null: the window manager's move, or
    // following the pointer where that is refused).
    explicit LogoWindow(window::WindowMover* mover = nullptr, QWidget* parent = nullptr);
    ~LogoWindow() override;

    // The monitor it pauses; the banner does nothing until it has one.
    void attach(dialogs::DialogMonitor& monitor);

    // LogoView
    [[nodiscard]] bool isVisible() const override { return QWidget::isVisible(); }
    void show() override;
    void unload() override;

    [[nodiscard]] bool loaded() const { return rules_ && rules_->loaded(); }
    // How long an untouched banner stays; a press, a key or the check box keeps it.
    static constexpr int kAutoHideMs = 10000;
    void setAutoHideDelay(int ms) { autoHideMs_ = ms; }
    QFrame* image1() const { return image1_; }
    QPushButton* command1() const { return command1_; }  // "Hide"
    QPushButton* command2() const { return command2_; }  // "Show Monitor"
    QCheckBox* chkLogo() const { return chkLogo_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Closer;
    void startMove(QPoint globalPress);

    std::optional<dialogs::LogoRules> rules_;
    std::unique_ptr<Closer> closer_;
    std::unique_ptr<window::WindowMover> ownMover_;
    window::WindowMover* mover_;
    QFrame* image1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QCheckBox* chkLogo_ = nullptr;
    QTimer* autoHide_ = nullptr;
    int autoHideMs_ = kAutoHideMs;
};

}  // namespace velmon
