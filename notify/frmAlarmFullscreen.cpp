// frmAlarmFullscreen.
#include "notify/frmAlarmFullscreen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <algorithm>

#include "alarm/alert_host.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/twips.h"

frmAlarmFullscreen::frmAlarmFullscreen(AlertHost& host, bool preview, QWidget* owner)
    : AlertWindow(host, preview, owner) {
  setObjectName(QStringLiteral("frmAlarmFullscreen"));
  // Borderless and on top from the start: a flag changed later would re-create the window.
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  resize(twipsToPx(3810), twipsToPx(2100));

  lblMessage = new QLabel(QStringLiteral("ALARM!!!"), this);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblMessage->setWordWrap(true);
  QPalette cyan = lblMessage->palette();
  cyan.setColor(QPalette::WindowText, QColor(0, 0xFF, 0xFF));
  lblMessage->setPalette(cyan);
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(24);
  f.setBold(true);
  lblMessage->setFont(f);
  lblMessage->setGeometry(twipsToPx(885), twipsToPx(600), twipsToPx(2205), twipsToPx(555));
  lblMessage->setToolTip(QStringLiteral(" Double-click or press ESC to quit - Press Spacebar to Snooze "));
  lblMessage->installEventFilter(this);
  setFocusPolicy(Qt::StrongFocus);
  Form_Load();
}

void frmAlarmFullscreen::Form_Load() {
  platform::services().window->setTopmost(this, true);
  // Over the whole screen: the window state asks the window manager, the geometry is
  // what the label's place is computed from.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  setGeometry(area);
  setWindowState(Qt::WindowFullScreen);
  platform::ignoreErrors([&] {
    const auto half = [](double twips) { return static_cast<int>(platform::roundHalfEven(twips)) / 2; };
    const int left = half(pxToTwips(area.width()) - pxToTwips(width()));
    const int top = half(pxToTwips(area.height()) - pxToTwips(height()));
    lblMessage->move(twipsToPx(left), twipsToPx(top));
  });
  loadFontColourAndText("frmAlarmFullscreen - Load procedure");
  // The label keeps its place but grows to hold the whole message, which the design's small
  // label would cut to its first words.
  platform::ignoreErrors([&] {
    const QRect room(0, 0, area.width() - lblMessage->x(), area.height() - lblMessage->y());
    const QSize need =
        lblMessage->fontMetrics().boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, lblMessage->text()).size();
    lblMessage->resize(std::clamp(need.width(), lblMessage->width(), room.width()),
                       std::clamp(need.height(), lblMessage->height(), room.height()));
  });
}

void frmAlarmFullscreen::Form_DblClick() {
  using platform::ignoreErrors;
  ignoreErrors([&] { host_.stopMusic(); });
  ignoreErrors([&] { TimerMessage->stop(); });
  record();
  finish();
}

void frmAlarmFullscreen::stopByEsc() {
  using platform::ignoreErrors;
  ignoreErrors([&] { host_.stopMusic(); });
  if (!isPreview()) ignoreErrors([&] { host_.markStopped(); });
  ignoreErrors([&] { TimerMessage->stop(); });
  finish();
}

void frmAlarmFullscreen::Form_KeyPress(int keyAscii) {
  using platform::ignoreErrors;
  record();
  if (keyAscii == 27) {
    stopByEsc();
  } else if (keyAscii == 32) {
    ignoreErrors([&] { host_.stopMusic(); });
    if (!isPreview()) ignoreErrors([&] { host_.snooze(); });
    finish();
  }
}

void frmAlarmFullscreen::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (event->key() == Qt::Key_Escape) {
    Form_KeyPress(27);
  } else if (!text.isEmpty()) {
    Form_KeyPress(text[0].unicode());
  }
  event->accept();
}

void frmAlarmFullscreen::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  Form_DblClick();
}

bool frmAlarmFullscreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblMessage && event->type() == QEvent::MouseButtonDblClick) {
    Form_DblClick();  // lblMessage_DblClick
    return true;
  }
  return AlertWindow::eventFilter(watched, event);
}
