// The progress bar's widget: a thin track with a fill and no text. Unlike the toolkit's bar,
// a new value only schedules a repaint: a transfer tick that moves the bar must not wait for
// the window to be drawn before its message goes out.
#pragma once

#include <QWidget>

namespace host::framework {

class ThinProgressBar : public QWidget {
 public:
  ThinProgressBar();

  // A maximum of 0 shows the busy state: the track alone.
  void SetRange(int maximum);
  // Taken within 0..maximum.
  void SetValue(int value);
  int maximum() const { return maximum_; }
  int value() const { return value_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int maximum_ = 100;
  int value_ = 0;
};

}  // namespace host::framework
