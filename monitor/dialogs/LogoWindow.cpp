#include "LogoWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "Art.h"
#include "DialogLook.h"
#include "WindowMover.h"

namespace velmon {

namespace {

// Image1: the banner inside a 2-pixel sunken border.
class Banner final : public QFrame {
public:
    explicit Banner(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }

protected:
    // Rendered when shown, not held: the window lives hidden for the whole run.
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter p(this);
        p.drawImage(contentsRect().topLeft(), art::image(art::Art::LogoBanner));
    }
};

}  // namespace

struct LogoWindow::Closer final : dialogs::DialogWindow {
    explicit Closer(LogoWindow& w) : window(w) {}
    void close() override { window.QWidget::close(); }
    LogoWindow& window;
};

LogoWindow::LogoWindow(window::WindowMover* mover, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      closer_(std::make_unique<Closer>(*this)), mover_(mover) {
    if (mover_ == nullptr) {
        ownMover_ = std::make_unique<window::SystemWindowMover>();
        mover_ = ownMover_.get();
    }
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(QIcon(QPixmap::fromImage(art::image(art::Art::AppIcon))));
    setFont(dialogFont());
    setFixedSize(505, 247);

    image1_ = new Banner(this);
    image1_->setGeometry(6, 4, 494, 195);
    image1_->installEventFilter(this);

    command2_ = new QPushButton(QStringLiteral("Show Monitor"), this);
    command2_->setGeometry(256, 210, 105, 25);
    command1_ = new QPushButton(QStringLiteral("Hide"), this);
    command1_->setGeometry(380, 210, 105, 25);
    chkLogo_ = new QCheckBox(QStringLiteral("Show this next time"), this);
    chkLogo_->setGeometry(22, 212, 155, 19);
    chkLogo_->setChecked(true);
    setTabOrder(command2_, command1_);
    setTabOrder(command1_, chkLogo_);

    autoHide_ = new QTimer(this);
    autoHide_->setSingleShot(true);
    QObject::connect(autoHide_, &QTimer::timeout, this, [this] {
        if (rules_ && rules_->loaded()) rules_->hideClicked(*closer_);
    });

    QObject::connect(command1_, &QPushButton::clicked, this, [this] {
        if (rules_) rules_->hideClicked(*closer_);
    });
    QObject::connect(command2_, &QPushButton::clicked, this, [this] {
        if (rules_) rules_->showMonitorClicked(*closer_);
    });
    QObject::connect(chkLogo_, &QCheckBox::toggled, this, [this](bool on) {
        autoHide_->stop();
        if (rules_) rules_->setShowNextTime(on);
    });
}

// The monitor may be gone by now; its state is not touched on the way out.
LogoWindow::~LogoWindow() = default;

void LogoWindow::attach(dialogs::DialogMonitor& monitor) { rules_.emplace(monitor); }

void LogoWindow::show() {
    if (!rules_) {
        return;
    }
    if (!rules_->loaded()) {
        rules_->formLoad();
        const QSignalBlocker block(chkLogo_);
        chkLogo_->setChecked(true);
        centreOnScreen(*this);
        autoHide_->start(autoHideMs_);
    }
    QWidget::show();
    raise();
}

void LogoWindow::unload() {
    if (loaded()) {
        QWidget::close();
    }
}

void LogoWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    autoHide_->stop();
    if (rules_) {
        rules_->formUnload();
    }
}

void LogoWindow::mousePressEvent(QMouseEvent* event) {
    autoHide_->stop();
    if (event->button() == Qt::LeftButton) {
        startMove(event->globalPosition().toPoint());
    }
    QWidget::mousePressEvent(event);
}

bool LogoWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) autoHide_->stop();
    if (watched == image1_ && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            startMove(press->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LogoWindow::keyPressEvent(QKeyEvent* event) {
    autoHide_->stop();
    QWidget::keyPressEvent(event);
}

void LogoWindow::startMove(QPoint globalPress) { mover_->beginMove(*this, globalPress, [] {}); }

}  // namespace velmon
