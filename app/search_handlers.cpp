#include "Window1.h"

void Window1::Event_Open() {}

void Window1::PushButton1_Action(host::PushButton&) {}

void Window1::ChooseMidiOut_PopMenu_Change(host::PopupMenu&) {}

void Window1::ChooseMidiIn_PopMenu_Change(host::PopupMenu&) {}
