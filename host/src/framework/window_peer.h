// The toolkit side of a window: a top-level widget whose children sit at absolute
// positions.
#pragma once

#include <QCloseEvent>
#include <QPointer>
#include <QWidget>

namespace host {

class Window;

class WindowPeer {
 public:
  explicit WindowPeer(Window& window);
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;
  ~WindowPeer();

  QWidget* Widget() const { return widget_.data(); }
  void Closed();
  // Changing a widget's flags hides it, so they are changed only when they differ.
  void ApplyFlags(Qt::WindowFlags flags);

 private:
  Window& window_;
  QPointer<QWidget> widget_;
  Qt::WindowFlags flags_;
};

}  // namespace host
