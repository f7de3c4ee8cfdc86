#include "ui_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/runtime.h"
#include "qt_access.h"
#include "window_peer.h"

namespace test_support {

void StartHeadlessRuntime() {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  host::RuntimeInit();
}

QWidget* WidgetOf(host::RectControl& control) {
  return control.Peer().Widget();
}

QWidget* WidgetOf(host::Window& window) {
  return window.Peer().Widget();
}

void ClickButton(host::PushButton& button) {
  QTest::mouseClick(WidgetOf(button), Qt::LeftButton);
}

bool ChoosePopupRow(host::PopupMenu& menu, int row) {
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(menu));
  if (!combo || !combo->isVisible() || !combo->isEnabled() || row < 0 || row >= combo->count())
    return false;
  QTest::mouseClick(combo, Qt::LeftButton);
  QAbstractItemView* view = combo->view();
  if (!WaitUntil([&] { return view->isVisible(); }, std::chrono::milliseconds(1000))) {
    return false;
  }
  // The open menu ignores a release that follows its opening within a double-click time.
  ProcessEventsFor(std::chrono::milliseconds(QApplication::doubleClickInterval() + 50));
  const QRect item = view->visualRect(combo->model()->index(row, combo->modelColumn()));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
  WaitUntil([&] { return !view->isVisible(); }, std::chrono::milliseconds(1000));
  return true;
}

void ProcessEventsFor(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(duration.count()), Qt::PreciseTimer, &loop,
                     &QEventLoop::quit);
  loop.exec();
}

bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
  QElapsedTimer clock;
  clock.start();
  while (!predicate()) {
    if (clock.elapsed() >= timeout.count())
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QTest::qSleep(2);
  }
  return true;
}

void ForgetUnhandledException() {
  host::framework::ResetRuntimeStatus();
}

}  // namespace test_support
