// The window's controls: labels, push buttons, pop-up menus, the progress bar, rounded
// rectangles, and the timer. Each keeps its properties itself and mirrors them onto a
// toolkit widget (its peer) that is created on the main thread by Constructor or when the
// control is added to a window. Coordinates are window coordinates in pixels, whatever the
// control's InitialParent: a parent groups its children but neither clips nor offsets them.
//
// Create controls with New<T>() (runtime.h), run Constructor, then add them to a window.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/events.h"
#include "host/layout_properties.h"
#include "host/object.h"
#include "host/weak_ref.h"

namespace host {

class Window;
class ControlPeer;

class RectControl : public Object,
                    public WeakReferenceable,
                    public LayoutPropertyTarget,
                    public EventSource {
 public:
  static const ClassDescription& Class();
  ~RectControl() override;

  // Raises ThreadAccessingUIException off the main thread; otherwise creates the peer.
  virtual void Constructor();

  const std::string& Name() const { return name_; }
  void SetName(std::string value) { name_ = std::move(value); }
  // -2147483648 for a control that belongs to no control array.
  std::int64_t Index() const { return index_; }
  void SetIndex(std::int64_t value) { index_ = value; }
  std::int64_t Left() const { return left_; }
  void SetLeft(std::int64_t value);
  std::int64_t Top() const { return top_; }
  void SetTop(std::int64_t value);
  std::int64_t Width() const { return width_; }
  void SetWidth(std::int64_t value);
  std::int64_t Height() const { return height_; }
  void SetHeight(std::int64_t value);
  bool LockLeft() const { return lockLeft_; }
  void SetLockLeft(bool value) { lockLeft_ = value; }
  bool LockTop() const { return lockTop_; }
  void SetLockTop(bool value) { lockTop_ = value; }
  bool LockRight() const { return lockRight_; }
  void SetLockRight(bool value) { lockRight_ = value; }
  bool LockBottom() const { return lockBottom_; }
  void SetLockBottom(bool value) { lockBottom_ = value; }
  std::int64_t TabIndex() const { return tabIndex_; }
  void SetTabIndex(std::int64_t value) { tabIndex_ = value; }
  std::int64_t TabPanelIndex() const { return tabPanelIndex_; }
  void SetTabPanelIndex(std::int64_t value) { tabPanelIndex_ = value; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  bool AllowAutoDeactivate() const { return allowAutoDeactivate_; }
  void SetAllowAutoDeactivate(bool value) { allowAutoDeactivate_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  const std::string& Tooltip() const { return tooltip_; }
  void SetTooltip(std::string value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }
  // The name of the control that contains this one; empty for the window itself.
  const std::string& InitialParent() const { return initialParent_; }
  void SetInitialParent(std::string value) { initialParent_ = std::move(value); }

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

  // The toolkit side of the control, created on first use (main thread only).
  ControlPeer& Peer();
  bool HasPeer() const { return peer_ != nullptr; }
  // Brings the peer up to date with every property.
  void SyncPeer();

 protected:
  explicit RectControl(const ClassDescription& cls);
  virtual std::unique_ptr<ControlPeer> MakePeer() = 0;
  bool RaisesEvent(int) const override { return false; }

 private:
  friend class Window;
  void AttachToWindow(Window& window);

  std::unique_ptr<ControlPeer> peer_;
  std::string name_;
  std::int64_t index_ = -2147483648LL;
  std::int64_t left_ = 0;
  std::int64_t top_ = 0;
  std::int64_t width_ = 100;
  std::int64_t height_ = 20;
  bool lockLeft_ = true;
  bool lockTop_ = true;
  bool lockRight_ = false;
  bool lockBottom_ = false;
  std::int64_t tabIndex_ = 0;
  std::int64_t tabPanelIndex_ = 0;
  bool tabStop_ = true;
  bool allowAutoDeactivate_ = true;
  bool enabled_ = true;
  bool visible_ = true;
  std::string tooltip_;
  bool transparent_ = false;
  std::string initialParent_;
};

// The font properties that labels, push buttons and pop-up menus share. FontName "System"
// means the system's sans-serif face and FontSize 0 the platform's default size.
class TextControl : public RectControl {
 public:
  const std::string& FontName() const { return fontName_; }
  void SetFontName(std::string value);
  // In the framework's default unit, which is pixels.
  float FontSize() const { return fontSize_; }
  void SetFontSize(float value);
  std::uint8_t FontUnit() const { return fontUnit_; }
  void SetFontUnit(std::uint8_t value);
  bool Bold() const { return bold_; }
  void SetBold(bool value);
  bool Italic() const { return italic_; }
  void SetItalic(bool value);
  bool Underline() const { return underline_; }
  void SetUnderline(bool value);

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

 protected:
  using RectControl::RectControl;

 private:
  std::string fontName_ = "System";
  float fontSize_ = 0;
  std::uint8_t fontUnit_ = 0;
  bool bold_ = false;
  bool italic_ = false;
  bool underline_ = false;
};

class Label : public TextControl {
 public:
  static const ClassDescription& Class();
  explicit Label(const ClassDescription& cls = Class());

  const std::string& Text() const { return text_; }
  void SetText(std::string value);
  Color TextColor() const { return textColor_; }
  void SetTextColor(Color value);
  // 0 default (left), 1 left, 2 centre, 3 right.
  std::int64_t TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(std::int64_t value);
  bool Multiline() const { return multiline_; }
  void SetMultiline(bool value);
  bool Selectable() const { return selectable_; }
  void SetSelectable(bool value);
  const std::string& DataSource() const { return dataSource_; }
  void SetDataSource(std::string value) { dataSource_ = std::move(value); }
  const std::string& DataField() const { return dataField_; }
  void SetDataField(std::string value) { dataField_ = std::move(value); }

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

 protected:
  std::unique_ptr<ControlPeer> MakePeer() override;

 private:
  std::string text_;
  Color textColor_ = 0x00000000;
  std::int64_t textAlignment_ = 0;
  bool multiline_ = false;
  bool selectable_ = false;
  std::string dataSource_;
  std::string dataField_;
};

class PushButton : public TextControl {
 public:
  static constexpr int kActionEvent = 15;
  static const ClassDescription& Class();
  explicit PushButton(const ClassDescription& cls = Class());

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string value);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  std::int64_t MacButtonStyle() const { return macButtonStyle_; }
  void SetMacButtonStyle(std::int64_t value) { macButtonStyle_ = value; }

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

 protected:
  std::unique_ptr<ControlPeer> MakePeer() override;
  bool RaisesEvent(int eventIndex) const override { return eventIndex == kActionEvent; }

 private:
  friend class PushButtonPeer;
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
  std::int64_t macButtonStyle_ = 0;
};

// A pop-up menu. ListIndex is -1 until the user picks a row or code sets it: adding rows
// never selects one. AddRow and DeleteAllRows never raise Change; a user's pick of another
// row and a change of ListIndex by code do.
class PopupMenu : public TextControl {
 public:
  static constexpr int kChangeEvent = 15;
  static const ClassDescription& Class();
  explicit PopupMenu(const ClassDescription& cls = Class());

  void AddRow(std::string text);
  // Removes every row; ListIndex becomes -1.
  void DeleteAllRows();
  std::int64_t RowCount() const { return static_cast<std::int64_t>(rows_.size()); }
  // Raises OutOfBoundsException for a row that doesn't exist.
  const std::string& List(std::int64_t row) const;
  std::int64_t ListIndex() const { return listIndex_; }
  // A negative value selects no row; a row past the last raises OutOfBoundsException.
  void SetListIndex(std::int64_t value);

  const std::string& InitialValue() const { return initialValue_; }
  // Rows separated by line breaks, added as AddRow would.
  void SetInitialValue(std::string value);
  std::int64_t SelectedRowIndex() const { return selectedRowIndex_; }
  // The row to select once the initial rows exist; without rows it selects nothing.
  void SetSelectedRowIndex(std::int64_t value);
  const std::string& DataSource() const { return dataSource_; }
  void SetDataSource(std::string value) { dataSource_ = std::move(value); }
  const std::string& DataField() const { return dataField_; }
  void SetDataField(std::string value) { dataField_ = std::move(value); }

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

 protected:
  std::unique_ptr<ControlPeer> MakePeer() override;
  bool RaisesEvent(int eventIndex) const override { return eventIndex == kChangeEvent; }

 private:
  friend class PopupMenuPeer;
  void UserPicked(std::int64_t row);

  std::vector<std::string> rows_;
  std::int64_t listIndex_ = -1;
  std::string initialValue_;
  std::int64_t selectedRowIndex_ = 0;
  std::string dataSource_;
  std::string dataField_;
};

// A thin bar without text. A value above the maximum shows a full bar, one below zero an
// empty one; while Indeterminate the value is kept but not shown.
class ProgressBar : public RectControl {
 public:
  static const ClassDescription& Class();
  explicit ProgressBar(const ClassDescription& cls = Class());

  std::int64_t Maximum() const { return maximum_; }
  void SetMaximum(std::int64_t value);
  double Value() const { return value_; }
  void SetValue(double value);
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool value);

  // MaximumValue in a layout stream is Maximum.
  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

 protected:
  std::unique_ptr<ControlPeer> MakePeer() override;

 private:
  std::int64_t maximum_ = 100;
  double value_ = 0;
  bool indeterminate_ = false;
};

// A rounded frame: border, fill and corners (CornerWidth x CornerHeight ellipses). Rounded
// rectangles are stacked beneath every other control of the window, so the controls they
// hold stay visible.
class RoundRectangle : public RectControl {
 public:
  static const ClassDescription& Class();
  explicit RoundRectangle(const ClassDescription& cls = Class());

  Color BorderColor() const { return borderColor_; }
  void SetBorderColor(Color value);
  double BorderThickness() const { return borderThickness_; }
  void SetBorderThickness(double value);
  Color FillColor() const { return fillColor_; }
  void SetFillColor(Color value);
  double CornerWidth() const { return cornerWidth_; }
  void SetCornerWidth(double value);
  double CornerHeight() const { return cornerHeight_; }
  void SetCornerHeight(double value);

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

 protected:
  std::unique_ptr<ControlPeer> MakePeer() override;

 private:
  Color borderColor_ = 0x00000000;
  double borderThickness_ = 1.0;
  Color fillColor_ = 0x00FFFFFF;
  double cornerWidth_ = 10.0;
  double cornerHeight_ = 10.0;
};

class TimerPeer;

// A timer on the main thread's event loop. RunMode 0 off, 1 once, 2 repeating; while
// Enabled and not off, Action fires every Period milliseconds (precise, so ticks don't
// drift), never while a handler of the timer runs. A tick whose handler ends late is followed
// by the next a full Period after it ended; missed ticks are not made up. A one-shot timer
// disables itself after its tick.
class Timer : public Object,
              public WeakReferenceable,
              public LayoutPropertyTarget,
              public EventSource {
 public:
  static constexpr int kActionEvent = 0;
  static constexpr std::int64_t kModeOff = 0;
  static constexpr std::int64_t kModeSingle = 1;
  static constexpr std::int64_t kModeMultiple = 2;

  static const ClassDescription& Class();
  explicit Timer(const ClassDescription& cls = Class());
  ~Timer() override;

  virtual void Constructor() {}

  std::int64_t RunMode() const { return runMode_; }
  void SetRunMode(std::int64_t value);
  // Milliseconds; values below 1 count as 1.
  std::int64_t Period() const { return period_; }
  void SetPeriod(std::int64_t value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);

  // The framework tells the timer its window and its index when the timer is added to a
  // window; the window keeps only a weak link.
  virtual void _SetWindow(host::Window* window);
  virtual Ref<host::Window> Window();
  virtual std::int64_t _Index();
  virtual void _SetIndex(std::int64_t index);

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

  // True while ticks are scheduled.
  bool IsTicking() const;

 protected:
  bool RaisesEvent(int eventIndex) const override { return eventIndex == kActionEvent; }

 private:
  friend class TimerPeer;
  void Tick();
  void Reschedule();

  std::unique_ptr<TimerPeer> peer_;
  WeakRef window_;
  std::int64_t index_ = 0;
  std::int64_t runMode_ = kModeMultiple;
  std::int64_t period_ = 1000;
  bool enabled_ = false;
};

}  // namespace host
