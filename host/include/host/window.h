// The framework's classic window: builds itself from the Layout and CreateControls events,
// holds its controls by name and shows them at absolute positions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/layout_properties.h"
#include "host/object.h"
#include "host/weak_ref.h"

namespace host {

class WindowPeer;

class Window : public Object, public WeakReferenceable, public LayoutPropertyTarget {
 public:
  static const ClassDescription& Class();
  explicit Window(const ClassDescription& cls = Class());
  ~Window() override;

  // Events the framework raises while it constructs the window; by default they do
  // nothing.
  virtual void Layout() {}
  virtual void CreateControls() {}
  virtual void Open() {}

  // Raises ThreadAccessingUIException off the main thread; otherwise the framework takes
  // hold of the window, raises Layout then CreateControls, shows the window when Visible,
  // then raises Open. When construction raises, the window is closed again and the error
  // passed on.
  virtual void Constructor();

  // Adds a control under its name (main thread only). Timers learn their window and their
  // index here; controls are placed in the window at their own coordinates.
  void _AddControl(std::string name, Ref<Object> control);
  // The control added under the name, or nil.
  Ref<Object> _ControlByName(std::string_view name) const;
  // The controls in the order they were added.
  const std::vector<Ref<Object>>& Controls() const { return controls_; }

  // Stops the window's timers, hides it and lets the framework drop it. Closing twice is
  // harmless.
  void Close();
  bool IsClosed() const { return closed_; }

  // Properties of the window's layout stream.
  std::int64_t Width() const { return width_; }
  void SetWidth(std::int64_t value);
  std::int64_t Height() const { return height_; }
  void SetHeight(std::int64_t value);
  std::int64_t MinimumWidth() const { return minimumWidth_; }
  void SetMinimumWidth(std::int64_t value);
  std::int64_t MinimumHeight() const { return minimumHeight_; }
  void SetMinimumHeight(std::int64_t value);
  // 0 means no limit.
  std::int64_t MaximumWidth() const { return maximumWidth_; }
  void SetMaximumWidth(std::int64_t value);
  std::int64_t MaximumHeight() const { return maximumHeight_; }
  void SetMaximumHeight(std::int64_t value);
  std::int64_t Type() const { return type_; }
  void SetType(std::int64_t value) { type_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string value);
  bool HasCloseButton() const { return hasCloseButton_; }
  void SetHasCloseButton(bool value);
  bool HasMaximizeButton() const { return hasMaximizeButton_; }
  void SetHasMaximizeButton(bool value);
  bool HasMinimizeButton() const { return hasMinimizeButton_; }
  void SetHasMinimizeButton(bool value);
  bool HasFullScreenButton() const { return hasFullScreenButton_; }
  void SetHasFullScreenButton(bool value) { hasFullScreenButton_ = value; }
  bool Resizeable() const { return resizeable_; }
  void SetResizeable(bool value);
  bool Composite() const { return composite_; }
  void SetComposite(bool value) { composite_ = value; }
  std::int64_t MacProcID() const { return macProcID_; }
  void SetMacProcID(std::int64_t value) { macProcID_ = value; }
  bool FullScreen() const { return fullScreen_; }
  void SetFullScreen(bool value);
  std::int64_t DefaultLocation() const { return defaultLocation_; }
  void SetDefaultLocation(std::int64_t value) { defaultLocation_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool HasBackgroundColor() const { return hasBackgroundColor_; }
  void SetHasBackgroundColor(bool value);
  Color BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(Color value);
  bool MenuBarVisible() const { return menuBarVisible_; }
  void SetMenuBarVisible(bool value) { menuBarVisible_ = value; }
  bool LiveResize() const { return liveResize_; }
  void SetLiveResize(bool value) { liveResize_ = value; }

  std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const override;
  void SetLayoutProperty(std::string_view name, const LayoutValue& value) override;

  // The toolkit's window, created on first use (main thread only).
  WindowPeer& Peer();
  bool HasPeer() const { return peer_ != nullptr; }

 private:
  friend class WindowPeer;
  void PeerClosed();
  void StopTimers();
  void SyncPeer();
  void RestackFrames();

  std::vector<std::string> names_;
  std::vector<Ref<Object>> controls_;
  std::unique_ptr<WindowPeer> peer_;
  bool closed_ = false;
  bool constructing_ = false;

  std::int64_t width_ = 300;
  std::int64_t height_ = 300;
  std::int64_t minimumWidth_ = 64;
  std::int64_t minimumHeight_ = 64;
  std::int64_t maximumWidth_ = 0;
  std::int64_t maximumHeight_ = 0;
  std::int64_t type_ = 0;
  std::string title_;
  bool hasCloseButton_ = true;
  bool hasMaximizeButton_ = true;
  bool hasMinimizeButton_ = true;
  bool hasFullScreenButton_ = false;
  bool resizeable_ = true;
  bool composite_ = false;
  std::int64_t macProcID_ = 0;
  bool fullScreen_ = false;
  std::int64_t defaultLocation_ = 0;
  bool visible_ = true;
  bool hasBackgroundColor_ = false;
  Color backgroundColor_ = 0x00FFFFFF;
  bool menuBarVisible_ = true;
  bool liveResize_ = true;
};

// A window of the class with that full name that the framework holds open, or nil.
Ref<Window> _GetImplicitWindow(std::string_view className);

// The windows the framework holds open, oldest first.
std::vector<Ref<Window>> RuntimeOpenWindows();

}  // namespace host
