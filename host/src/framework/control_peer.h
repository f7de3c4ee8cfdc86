// The toolkit side of a control: its widget, which the control keeps up to date.
#pragma once

#include <QPointer>
#include <QWidget>

namespace host {

class ControlPeer {
 public:
  explicit ControlPeer(QWidget* widget) : widget_(widget), naturalFocus_(widget->focusPolicy()) {}
  ControlPeer(const ControlPeer&) = delete;
  ControlPeer& operator=(const ControlPeer&) = delete;
  // The widget may already be gone with its window.
  virtual ~ControlPeer() { delete widget_.data(); }

  QWidget* Widget() const { return widget_.data(); }
  // The focus the widget takes when it is a tab stop; labels and frames take none.
  Qt::FocusPolicy NaturalFocus() const { return naturalFocus_; }
  // Shows the control's own properties (the common ones are its RectControl's business).
  virtual void Sync() = 0;

 private:
  QPointer<QWidget> widget_;
  Qt::FocusPolicy naturalFocus_;
};

}  // namespace host
