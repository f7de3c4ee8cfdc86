// The program's one window: three boxed steps, the send cursor of a transfer and the
// handlers of its menus, buttons and timer. Controls are never kept in fields: each use goes
// through the accessor of the same name, which looks the control up anew.
#pragma once

#include <cstdint>

#include "host/controls.h"
#include "host/object.h"
#include "host/weak_ref.h"
#include "host/window.h"

class Window1 : public host::Window {
 public:
  // The window's own timer class: a Timer that knows its window through a weak link, so it
  // never keeps the window alive.
  class _wrapper_Timer1 : public host::Timer {
   public:
    static const host::ClassDescription& Class();
    explicit _wrapper_Timer1(const host::ClassDescription& cls = Class());

    void _SetWindow(host::Window* window) override;
    host::Ref<host::Window> Window() override;
    std::int64_t _Index() override;
    void _SetIndex(std::int64_t index) override;

    // The control index the framework gives the timer.
    std::int64_t Index = 0;
    host::WeakRef ownerWindow;
  };

  // The framework's class of the window, "Window1.Window1".
  static const host::ClassDescription& Class();
  // The implicit instance: the window the framework already holds for the class, or a new
  // one, created and constructed (which builds and shows it).
  static host::Ref<Window1> ImplicitInstance();

  explicit Window1(const host::ClassDescription& cls = Class());

  // The send cursor: index of the next firmware message to send.
  std::int64_t MidiOutCnt = 0;
  // The device a transfer sends to: the chosen output when UPDATE was pressed.
  std::int64_t TransferOutID = -1;
  // Kept for the framework; nothing reads it.
  std::int64_t MidiOutError = 0;

  // Framework events of the window.
  void Layout() override;
  void CreateControls() override;
  void Open() override;

  // Creates, names, configures and binds the 27 controls, in their creation order.
  virtual void _CreateControls0();

  host::Ref<host::RoundRectangle> RoundRectangle1();
  host::Ref<host::Label> Label1();
  host::Ref<host::Label> Label2();
  host::Ref<host::Label> Label3();
  host::Ref<host::PopupMenu> ChooseMidiOut_PopMenu();
  host::Ref<host::PopupMenu> ChooseMidiIn_PopMenu();
  host::Ref<host::Label> Label133();
  host::Ref<host::PushButton> PushButton1();
  host::Ref<host::RoundRectangle> RoundRectangle2();
  host::Ref<host::Label> Label4();
  host::Ref<host::Label> Label5();
  host::Ref<host::Label> Label6();
  host::Ref<host::PushButton> PushButton2();
  host::Ref<host::RoundRectangle> RoundRectangle3();
  host::Ref<host::Label> Label7();
  host::Ref<host::PushButton> PushButton3();
  host::Ref<host::ProgressBar> ProgressBar1();
  host::Ref<host::Label> Label16();
  host::Ref<host::RoundRectangle> RoundRectangle4();
  host::Ref<host::Label> Label8();
  host::Ref<host::PushButton> PushButton4();
  host::Ref<host::Label> Label9();
  host::Ref<host::Label> Label10();
  host::Ref<host::Label> Label11();
  host::Ref<host::Label> Label12();
  host::Ref<host::Timer> Timer1();
  host::Ref<host::Label> Label132();

  // Handlers; virtual so that the binding reaches an override in a subclass.
  virtual void ChooseMidiOut_PopMenu_Change(host::PopupMenu& sender);
  virtual void ChooseMidiIn_PopMenu_Change(host::PopupMenu& sender);
  virtual void PushButton1_Action(host::PushButton& sender);
  virtual void PushButton2_Action(host::PushButton& sender);
  virtual void PushButton3_Action(host::PushButton& sender);
  virtual void PushButton4_Action(host::PushButton& sender);
  virtual void Timer1_Action(host::Timer& sender);
  // The window's Open event: the controls' initial state.
  virtual void Event_Open();
};
